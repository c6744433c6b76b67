// The preprocessor of ShadeForge: includes, defines and conditional blocks
// of shader sources, with comments and blank lines removed.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace mw::tools {

class ShaderPreprocessor
{
public:
    // includeFolder: searched after the including file's own folder; may be empty.
    explicit ShaderPreprocessor(std::string includeFolder) : m_includeFolder(std::move(includeFolder)) {}

    // NAME or NAME=VALUE; false when NAME is not an identifier.
    bool Define(const std::string& definition);
    // Preprocesses the file; false with Error() set on the first problem.
    bool Run(const std::string& path);

    const std::string& Output() const { return m_output; }
    const std::string& Error() const { return m_error; }
    int IncludeCount() const { return m_includeCount; }

private:
    bool ProcessFile(const std::string& path, int depth);
    // False when the result grows beyond the bound of one line.
    bool Substitute(const std::string& line, std::string& result) const;
    bool Fail(const std::string& path, int line, const std::string& message);

    std::string m_includeFolder;
    std::map<std::string, std::string> m_defines;
    std::vector<std::string> m_includeStack;
    std::string m_output;
    std::string m_error;
    int m_includeCount = 0;
    uint64_t m_bytesRead = 0;
};

} // namespace mw::tools
