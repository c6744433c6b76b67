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

std::vector<std::string> ReadLines(const std::string& path, bool& exists)
{
    std::string bytes;
    exists = ReadWholeFile(path, bytes);
    std::vector<std::string> lines;
    if (!exists || bytes.empty())
        return lines;
    lines = SplitText(bytes, '\n');
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    for (std::string& line : lines)
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    return lines;
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
    bool exists = false;
    std::vector<std::string> lines = ReadLines(path, exists);
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
    bool exists = false;
    std::vector<std::string> lines = ReadLines(path, exists);
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
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return WriteFileAtomic(path, text);
}

} // namespace mw
