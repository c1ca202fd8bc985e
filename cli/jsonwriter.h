#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace korvala::cli {

// Streams one JSON value without building it in memory first (a dump of a million
// quotes would otherwise take gigabytes). Numbers are written in the shortest form that
// reads back to the same double; non-finite numbers become null.
class JsonWriter final
{
public:
    explicit JsonWriter(std::ostream &out) : m_out(out) {}

    JsonWriter &BeginObject();
    JsonWriter &EndObject();
    JsonWriter &BeginArray();
    JsonWriter &EndArray();
    JsonWriter &Key(std::string_view key);

    JsonWriter &Value(double v);
    JsonWriter &Value(int v);
    JsonWriter &Value(long long v);
    JsonWriter &Value(bool v);
    JsonWriter &Value(std::string_view v);
    JsonWriter &Value(const char *v) { return Value(std::string_view(v)); }
    JsonWriter &Null();
    JsonWriter &Strings(const std::vector<std::string> &lines);

    // Starts the next element of the enclosing container on a new line.
    JsonWriter &NewLine();

private:
    void Separate();

    std::ostream &m_out;
    std::vector<bool> m_first; // per open container: no element written yet
    bool m_afterKey = false;
    bool m_newLine = false;
};

std::string JsonNumber(double v);
std::string JsonString(std::string_view s);

} // namespace korvala::cli
