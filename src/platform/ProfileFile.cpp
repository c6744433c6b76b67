// Reading and writing private-profile (ini) files.
#include "ProfileFile.h"

#include "FileSystem.h"
#include "PathRules.h"

#include <cstdlib>
#include <vector>

namespace mw {
namespace {

std::string Trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return std::string();
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

const std::string kByteOrderMark = "\xEF\xBB\xBF";

// A file's lines without their line ends, and how it writes them back: with
// the byte-order mark and the line end it came with (CR LF for a new file).
struct ProfileLines
{
    std::vector<std::string> lines;
    bool exists = false;
    bool byteOrderMark = false;
    std::string lineEnd = "\r\n";
};

ProfileLines ReadLines(const std::string& path)
{
    ProfileLines result;
    std::string bytes;
    result.exists = ReadWholeFile(path, bytes);
    if (!result.exists || bytes.empty())
        return result;
    if (bytes.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0)
    {
        result.byteOrderMark = true;
        bytes.erase(0, kByteOrderMark.size());
    }
    size_t firstEnd = bytes.find('\n');
    if (firstEnd != std::string::npos && (firstEnd == 0 || bytes[firstEnd - 1] != '\r'))
        result.lineEnd = "\n";
    result.lines = SplitText(bytes, '\n');
    if (!result.lines.empty() && result.lines.back().empty())
        result.lines.pop_back();
    for (std::string& line : result.lines)
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    return result;
}

// "[name]" gives name; other lines give false.
bool SectionName(const std::string& line, std::string& name)
{
    std::string trimmed = Trim(line);
    if (trimmed.size() < 2 || trimmed.front() != '[')
        return false;
    size_t close = trimmed.find(']');
    if (close == std::string::npos)
        return false;
    name = Trim(trimmed.substr(1, close - 1));
    return true;
}

bool KeyOfLine(const std::string& line, std::string& key, std::string& value)
{
    size_t equals = line.find('=');
    if (equals == std::string::npos)
        return false;
    key = Trim(line.substr(0, equals));
    value = Trim(line.substr(equals + 1));
    return !key.empty() && key[0] != ';';
}

} // namespace

std::string ReadProfileString(const std::string& section, const std::string& key, const std::string& defaultValue,
                              const std::string& path)
{
    std::vector<std::string> lines = ReadLines(path).lines;
    bool inSection = false;
    std::string result = defaultValue;
    for (const std::string& line : lines)
    {
        std::string name;
        if (SectionName(line, name))
        {
            inSection = EqualsNoCase(name, section);
            continue;
        }
        std::string lineKey;
        std::string value;
        if (inSection && KeyOfLine(line, lineKey, value) && EqualsNoCase(lineKey, key))
        {
            // One pair of enclosing quotes is removed, as the platform's reader does.
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            result = value;
            break;
        }
    }
    if (result.size() > kProfileValueBufferSize - 1)
        result.resize(kProfileValueBufferSize - 1);
    return result;
}

int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue, const std::string& path)
{
    const std::string missing = "\x01missing";
    std::string text = ReadProfileString(section, key, missing, path);
    if (text == missing)
        return defaultValue;
    return int(std::strtol(text.c_str(), nullptr, 10));
}

bool WriteProfileString(const std::string& section, const std::string& key, const std::string& value,
                        const std::string& path)
{
    ProfileLines file = ReadLines(path);
    std::vector<std::string>& lines = file.lines;
    const std::string newLine = key + "=" + value;

    bool inSection = false;
    bool done = false;
    long lastLineOfSection = -1;
    for (size_t i = 0; i < lines.size() && !done; ++i)
    {
        std::string name;
        if (SectionName(lines[i], name))
        {
            if (inSection)
                break;
            inSection = EqualsNoCase(name, section);
            if (inSection)
                lastLineOfSection = long(i);
            continue;
        }
        if (!inSection)
            continue;
        std::string lineKey;
        std::string lineValue;
        if (KeyOfLine(lines[i], lineKey, lineValue) && EqualsNoCase(lineKey, key))
        {
            lines[i] = lineKey + "=" + value;
            done = true;
        }
        else if (!Trim(lines[i]).empty())
            lastLineOfSection = long(i);
    }
    if (!done)
    {
        if (lastLineOfSection >= 0)
            lines.insert(lines.begin() + lastLineOfSection + 1, newLine);
        else
        {
            lines.push_back("[" + section + "]");
            lines.push_back(newLine);
        }
    }
    std::string text = file.byteOrderMark ? kByteOrderMark : std::string();
    for (const std::string& line : lines)
        text += line + file.lineEnd;
    return WriteFileAtomic(path, text);
}

std::string ProfileFileProblem(const std::string& path)
{
    if (!PathExists(path))
        return std::string();
    if (IsFolder(path))
        return "is a folder";
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return "cannot be read (" + LastErrorText() + ")";
    if (bytes.find('\0') != std::string::npos)
        return "is not a text file of sections and keys (it holds zero bytes: UTF-16 text or binary data)";
    bool hasText = false;
    for (const std::string& line : ReadLines(path).lines)
    {
        std::string name;
        if (SectionName(line, name))
            return std::string();
        hasText = hasText || !Trim(line).empty();
    }
    if (hasText)
        return "is not a text file of sections and keys (no [section] line in it)";
    return std::string();
}

} // namespace mw
