#pragma once

// Writing a file so that it cannot be lost: the bytes go to a temporary file in the same
// folder, are flushed to the disk, and the temporary file is renamed over the target.
// A write that fails leaves the earlier file byte for byte as it was and no temporary
// file behind.

#include <stdexcept>
#include <string>
#include <string_view>

namespace korvala {

// A file that could not be written; the text names the file and the system's reason.
class WriteError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Replaces the file at path (a file-system path, bytes as given) with bytes. A new file
// gets the permissions a newly created file gets; an existing one keeps its own.
// Throws WriteError.
void WriteFileSafely(const std::string &path, std::string_view bytes);

} // namespace korvala
