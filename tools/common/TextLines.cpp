// Line and token reading for the compilers' text inputs.
#include "TextLines.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace mw::tools {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

} // namespace

bool TextLines::NextRaw(std::string_view& line)
{
    while (m_position < m_text.size())
    {
        size_t end = m_text.find('\n', m_position);
        if (end == std::string_view::npos)
            end = m_text.size();
        line = m_text.substr(m_position, end - m_position);
        m_position = end + 1;
        ++m_lineNumber;
        while (!line.empty() && IsBlank(line.front()))
            line.remove_prefix(1);
        while (!line.empty() && IsBlank(line.back()))
            line.remove_suffix(1);
        if (!line.empty() && line[0] != '#')
            return true;
    }
    return false;
}

bool TextLines::Next(std::vector<std::string_view>& tokens)
{
    tokens.clear();
    std::string_view line;
    if (!NextRaw(line))
        return false;
    size_t i = 0;
    while (i < line.size())
    {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        size_t start = i;
        while (i < line.size() && !IsBlank(line[i]))
            ++i;
        if (i > start)
            tokens.push_back(line.substr(start, i - start));
    }
    return true;
}

std::string TextLines::Error(const std::string& message) const
{
    return "'" + m_fileName + "' line " + std::to_string(m_lineNumber) + ": " + message;
}

bool TextLines::ToInt(std::string_view token, int64_t low, int64_t high, int64_t& value)
{
    std::string text(token);
    if (text.empty() || text.size() > 18)
        return false;
    char* end = nullptr;
    errno = 0;
    long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size() || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool TextLines::ToFloat(std::string_view token, float& value)
{
    std::string text(token);
    if (text.empty() || text.size() > 64)
        return false;
    char* end = nullptr;
    double parsed = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(parsed) || std::fabs(parsed) > 3.0e38)
        return false;
    value = float(parsed);
    return true;
}

} // namespace mw::tools
