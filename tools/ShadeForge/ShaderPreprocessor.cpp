// Shader preprocessing, one line at a time after comments are blanked out.
#include "ShaderPreprocessor.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "common/ToolOutput.h"

namespace mw::tools {
namespace {

constexpr int kMaxIncludeDepth = 32;
// Bounds that keep a hostile source from growing without end: the bytes read
// over all includes, the number of includes, the length of one line after
// its defines are put in (and so of one define's value), and the output.
constexpr uint64_t kMaxSourceBytes = 64u << 20;
constexpr int kMaxIncludes = 1024;
constexpr size_t kMaxExpandedLine = 1u << 20;
constexpr size_t kMaxOutputSize = 64u << 20;

bool IsIdentifierStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentifierChar(char c) { return IsIdentifierStart(c) || (c >= '0' && c <= '9'); }

bool IsIdentifier(const std::string& text)
{
    if (text.empty() || !IsIdentifierStart(text[0]))
        return false;
    for (char c : text)
        if (!IsIdentifierChar(c))
            return false;
    return true;
}

std::string Trim(const std::string& text)
{
    size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos)
        return std::string();
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(start, end - start + 1);
}

// Replaces comments by blanks (keeping line feeds, so line numbers stay
// right) and leaves string literals alone. False when a block comment does
// not end.
bool BlankComments(std::string& text)
{
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i)
    {
        char c = text[i];
        if (inString)
        {
            if (c == '"' || c == '\n')
                inString = false;
            continue;
        }
        if (c == '"')
            inString = true;
        else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/')
        {
            while (i < text.size() && text[i] != '\n')
                text[i++] = ' ';
        }
        else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*')
        {
            size_t end = text.find("*/", i + 2);
            if (end == std::string::npos)
                return false;
            for (size_t j = i; j < end + 2; ++j)
                if (text[j] != '\n')
                    text[j] = ' ';
            i = end + 1;
        }
    }
    return true;
}

struct Condition
{
    bool parentActive;
    bool active;
    bool seenElse;
};

} // namespace

bool ShaderPreprocessor::Define(const std::string& definition)
{
    size_t equals = definition.find('=');
    std::string name = Trim(definition.substr(0, equals));
    std::string value = equals == std::string::npos ? std::string("1") : Trim(definition.substr(equals + 1));
    if (!IsIdentifier(name))
        return false;
    m_defines[name] = value;
    return true;
}

bool ShaderPreprocessor::Run(const std::string& path)
{
    m_output.clear();
    m_error.clear();
    m_includeStack.clear();
    m_includeCount = 0;
    m_bytesRead = 0;
    return ProcessFile(path, 0);
}

bool ShaderPreprocessor::Fail(const std::string& path, int line, const std::string& message)
{
    m_error = line > 0 ? Format("'%s' line %d: %s", path.c_str(), line, message.c_str())
                       : Format("'%s': %s", path.c_str(), message.c_str());
    return false;
}

bool ShaderPreprocessor::Substitute(const std::string& line, std::string& result) const
{
    result.clear();
    size_t i = 0;
    while (i < line.size())
    {
        if (result.size() > kMaxExpandedLine)
            return false;
        if (line[i] == '"')
        {
            size_t end = line.find('"', i + 1);
            end = end == std::string::npos ? line.size() : end + 1;
            result += line.substr(i, end - i);
            i = end;
        }
        else if (IsIdentifierStart(line[i]))
        {
            size_t start = i;
            while (i < line.size() && IsIdentifierChar(line[i]))
                ++i;
            std::string word = line.substr(start, i - start);
            auto found = m_defines.find(word);
            result += found == m_defines.end() ? word : found->second;
        }
        else if (line[i] >= '0' && line[i] <= '9')
        {
            // A number such as 1e5 or 0x1F is never a name.
            while (i < line.size() && (IsIdentifierChar(line[i]) || line[i] == '.'))
                result += line[i++];
        }
        else
            result += line[i++];
    }
    return result.size() <= kMaxExpandedLine;
}

bool ShaderPreprocessor::ProcessFile(const std::string& path, int depth)
{
    for (const std::string& open : m_includeStack)
        if (SamePathNoCase(open, path))
            return Fail(path, 0, "includes itself (include cycle)");
    if (depth > kMaxIncludeDepth)
        return Fail(path, 0, "includes nested more than 32 deep");
    std::string text;
    std::string readError;
    if (!ReadBoundedFile(path, kMaxSourceBytes - m_bytesRead, text, readError))
        return Fail(path, 0, "cannot read: " + readError + (m_bytesRead ? " (with the files read before)" : ""));
    m_bytesRead += text.size();
    if (!BlankComments(text))
        return Fail(path, 0, "a /* comment does not end");
    m_includeStack.push_back(path);

    std::vector<Condition> conditions;
    auto active = [&conditions] { return conditions.empty() || conditions.back().active; };
    std::vector<std::string> lines = SplitText(text, '\n');
    for (size_t index = 0; index < lines.size(); ++index)
    {
        const int lineNumber = int(index) + 1;
        std::string line = Trim(lines[index]);
        if (line.empty())
            continue;
        if (line[0] != '#')
        {
            if (active())
            {
                std::string expanded;
                if (!Substitute(line, expanded))
                    return Fail(path, lineNumber, Format("the line expands to more than %zu bytes", kMaxExpandedLine));
                if (m_output.size() + expanded.size() >= kMaxOutputSize)
                    return Fail(path, lineNumber, Format("the output grows beyond %zu bytes", kMaxOutputSize));
                m_output += expanded + "\n";
            }
            continue;
        }
        std::string rest = Trim(line.substr(1));
        size_t blank = rest.find_first_of(" \t");
        std::string directive = rest.substr(0, blank);
        std::string argument = blank == std::string::npos ? std::string() : Trim(rest.substr(blank));
        if (directive == "ifdef" || directive == "ifndef")
        {
            if (!IsIdentifier(argument))
                return Fail(path, lineNumber, "#" + directive + " needs a name");
            bool defined = m_defines.count(argument) > 0;
            bool parent = active();
            conditions.push_back(Condition{parent, parent && (directive == "ifdef" ? defined : !defined), false});
        }
        else if (directive == "else")
        {
            if (conditions.empty() || conditions.back().seenElse)
                return Fail(path, lineNumber, "#else without #ifdef");
            Condition& condition = conditions.back();
            condition.active = condition.parentActive && !condition.active;
            condition.seenElse = true;
        }
        else if (directive == "endif")
        {
            if (conditions.empty())
                return Fail(path, lineNumber, "#endif without #ifdef");
            conditions.pop_back();
        }
        else if (!active())
        {
            // Other directives inside a skipped block are not looked at.
        }
        else if (directive == "define")
        {
            size_t nameEnd = argument.find_first_of(" \t");
            std::string name = argument.substr(0, nameEnd);
            std::string value = nameEnd == std::string::npos ? std::string() : Trim(argument.substr(nameEnd));
            if (!IsIdentifier(name))
                return Fail(path, lineNumber, "#define needs a name");
            std::string expanded;
            if (!Substitute(value, expanded))
                return Fail(path, lineNumber, Format("#define %s expands to more than %zu bytes", name.c_str(),
                                                     kMaxExpandedLine));
            m_defines[name] = std::move(expanded);
        }
        else if (directive == "undef")
        {
            if (!IsIdentifier(argument))
                return Fail(path, lineNumber, "#undef needs a name");
            m_defines.erase(argument);
        }
        else if (directive == "include")
        {
            if (argument.size() < 3 || argument.front() != '"' || argument.back() != '"')
                return Fail(path, lineNumber, "#include needs a file name in double quotes");
            std::string name = argument.substr(1, argument.size() - 2);
            std::string folder = ParentPath(path);
            std::string candidate = folder.empty() ? name : folder + "/" + name;
            if (!IsFile(candidate) && !m_includeFolder.empty())
            {
                std::string fromFolder = WithTrailingSeparator(m_includeFolder) + name;
                if (IsFile(fromFolder))
                    candidate = fromFolder;
            }
            if (!IsFile(candidate))
                return Fail(path, lineNumber, "included file '" + name + "' not found");
            if (++m_includeCount > kMaxIncludes)
                return Fail(path, lineNumber, Format("more than %d includes in all", kMaxIncludes));
            if (!ProcessFile(candidate, depth + 1))
                return false;
        }
        else
            return Fail(path, lineNumber, "unknown directive #" + directive);
    }
    if (!conditions.empty())
        return Fail(path, 0, "#ifdef without #endif");
    m_includeStack.pop_back();
    return true;
}

} // namespace mw::tools
