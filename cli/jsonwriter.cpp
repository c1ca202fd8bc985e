#include "jsonwriter.h"

#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

namespace korvala::cli {

std::string JsonNumber(double v)
{
    if (!std::isfinite(v))
        return "null";
    char buffer[32];
    // The fewest significant digits that read back to the same double.
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general);
    (void)ec;
    return std::string(buffer, end);
}

std::string JsonString(std::string_view s)
{
    return nlohmann::json(std::string(s)).dump(-1, ' ', false,
                                              nlohmann::json::error_handler_t::replace);
}

void JsonWriter::Separate()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back())
            m_out << (m_newLine ? ",\n" : ", ");
        m_first.back() = false;
    }
    m_newLine = false;
}

JsonWriter &JsonWriter::NewLine()
{
    m_newLine = true;
    return *this;
}

JsonWriter &JsonWriter::BeginObject()
{
    Separate();
    m_out << '{';
    m_first.push_back(true);
    return *this;
}

JsonWriter &JsonWriter::EndObject()
{
    m_first.pop_back();
    m_out << '}';
    return *this;
}

JsonWriter &JsonWriter::BeginArray()
{
    Separate();
    m_out << '[';
    m_first.push_back(true);
    return *this;
}

JsonWriter &JsonWriter::EndArray()
{
    m_first.pop_back();
    m_out << ']';
    return *this;
}

JsonWriter &JsonWriter::Key(std::string_view key)
{
    Separate();
    m_out << JsonString(key) << ": ";
    m_afterKey = true;
    return *this;
}

JsonWriter &JsonWriter::Value(double v)
{
    Separate();
    m_out << JsonNumber(v);
    return *this;
}

JsonWriter &JsonWriter::Value(int v)
{
    Separate();
    m_out << v;
    return *this;
}

JsonWriter &JsonWriter::Value(long long v)
{
    Separate();
    m_out << v;
    return *this;
}

JsonWriter &JsonWriter::Value(bool v)
{
    Separate();
    m_out << (v ? "true" : "false");
    return *this;
}

JsonWriter &JsonWriter::Value(std::string_view v)
{
    Separate();
    m_out << JsonString(v);
    return *this;
}

JsonWriter &JsonWriter::Null()
{
    Separate();
    m_out << "null";
    return *this;
}

JsonWriter &JsonWriter::Strings(const std::vector<std::string> &lines)
{
    BeginArray();
    for (const auto &line : lines)
        Value(line);
    return EndArray();
}

} // namespace korvala::cli
