// Reads the line-based text inputs of the compilers: LF or CR LF lines, blank
// lines and lines starting with '#' skipped, tokens separated by blanks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw::tools {

class TextLines
{
public:
    TextLines(std::string_view text, std::string fileName) : m_text(text), m_fileName(std::move(fileName)) {}

    // The next line with content, split into tokens; false at the end.
    bool Next(std::vector<std::string_view>& tokens);
    // The next line with content as one trimmed text; false at the end.
    bool NextRaw(std::string_view& line);
    // "'file' line N: " + message, for the line read last.
    std::string Error(const std::string& message) const;
    int LineNumber() const { return m_lineNumber; }

    static bool ToInt(std::string_view token, int64_t low, int64_t high, int64_t& value);
    // A finite decimal number.
    static bool ToFloat(std::string_view token, float& value);

private:
    std::string_view m_text;
    std::string m_fileName;
    size_t m_position = 0;
    int m_lineNumber = 0;
};

} // namespace mw::tools
