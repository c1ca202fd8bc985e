#include "benchfile.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace korvala::bench {

const char *BenchFilePath() { return std::getenv("KORVALA_BENCH_FILE"); }

const std::string &BenchFileBytes()
{
    static const std::string bytes = [] {
        const char *path = BenchFilePath();
        if (!path)
            return std::string();
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }();
    return bytes;
}

} // namespace korvala::bench
