// Path and name text rules shared by every layer.
#include "PathRules.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace mw {

std::string AtomicTempPrefix(const std::string& fileName)
{
    constexpr size_t kMaxKept = 200;
    size_t kept = fileName.size();
    if (kept > kMaxKept)
    {
        kept = kMaxKept;
        // Not inside a UTF-8 sequence: back off over its continuation bytes.
        while (kept > 0 && (static_cast<unsigned char>(fileName[kept]) & 0xC0) == 0x80)
            --kept;
    }
    return "." + fileName.substr(0, kept) + ".mwtmp.";
}

std::string WithTrailingSeparator(const std::string& path)
{
    if (path.size() >= 2 && !IsSeparator(path.back()))
        return path + "\\";
    return path;
}

std::string ToForwardSlashes(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string ToBackslashes(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string ToLowerAscii(std::string text)
{
    for (char& c : text)
        c = LowerAscii(c);
    return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

size_t FindNoCase(std::string_view haystack, std::string_view needle, size_t from)
{
    if (needle.size() > haystack.size())
        return std::string::npos;
    for (size_t i = from; i + needle.size() <= haystack.size(); ++i)
        if (EqualsNoCase(haystack.substr(i, needle.size()), needle))
            return i;
    return std::string::npos;
}

std::string RemoveFirstNoCase(std::string text, std::string_view needle)
{
    if (needle.empty())
        return text;
    size_t at = FindNoCase(text, needle);
    if (at != std::string::npos)
        text.erase(at, needle.size());
    return text;
}

bool LessNoCase(std::string_view a, std::string_view b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
    {
        unsigned char x = (unsigned char)LowerAscii(a[i]);
        unsigned char y = (unsigned char)LowerAscii(b[i]);
        if (x != y)
            return x < y;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

static char FoldPathChar(char c) { return c == '\\' ? '/' : LowerAscii(c); }

bool SamePathNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldPathChar(a[i]) != FoldPathChar(b[i]))
            return false;
    return true;
}

std::string StripPathPrefix(const std::string& path, const std::string& prefix, bool* matched)
{
    bool ok = path.size() >= prefix.size() && SamePathNoCase(std::string_view(path).substr(0, prefix.size()), prefix);
    if (matched)
        *matched = ok;
    return ok ? path.substr(prefix.size()) : path;
}

std::string Extension(const std::string& name)
{
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string ShortName(const std::string& path)
{
    size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ParentPath(const std::string& path)
{
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::vector<std::string> FolderPrefixes(const std::string& path)
{
    std::vector<std::string> prefixes;
    size_t start = 0;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))
    {
        // UNC root: "\\server\share" is the root; neither part is a folder to create.
        size_t server = path.find_first_of("\\/", 2);
        if (server == std::string::npos)
            return prefixes;
        size_t share = path.find_first_of("\\/", server + 1);
        if (share == std::string::npos)
            return prefixes;
        start = share + 1;
    }
    else if (path.size() >= 2 && path[1] == ':')
    {
        start = (path.size() >= 3 && IsSeparator(path[2])) ? 3 : 2;
    }
    else if (!path.empty() && IsSeparator(path[0]))
    {
        start = 1;
    }
    for (size_t i = start; i < path.size(); ++i)
        if (IsSeparator(path[i]) && i > 0 && !IsSeparator(path[i - 1]))
            prefixes.push_back(path.substr(0, i));
    return prefixes;
}

std::string FormatMinutesSeconds(unsigned long long elapsedMs)
{
    unsigned long long seconds = elapsedMs / 1000;
    return Format("%d:%02d", int(seconds / 60), int(seconds % 60));
}

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (size > 0)
    {
        text.resize(size_t(size) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(size_t(size));
    }
    va_end(args);
    return text;
}

std::vector<std::string> SplitText(const std::string& text, char delimiter)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    for (;;)
    {
        size_t at = text.find(delimiter, start);
        if (at == std::string::npos)
        {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}

bool EndsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

} // namespace mw
