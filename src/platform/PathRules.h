// Small text rules for paths and names that every layer shares. Pure string
// functions: nothing here touches the file system.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mw {

// True for both separators the tool's data mixes: '\' and '/'.
inline bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A path of two or more characters that does not end in a separator gets a '\'.
std::string WithTrailingSeparator(const std::string& path);

// Every '\' becomes '/': the form source control and POSIX use.
std::string ToForwardSlashes(std::string path);
// Every '/' becomes '\': the form record names and history entries use.
std::string ToBackslashes(std::string path);

// ASCII lower-casing, independent of the process locale.
inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
std::string ToLowerAscii(std::string text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Position of the first occurrence of needle in haystack, compared without
// regard to ASCII case; npos when absent.
size_t FindNoCase(std::string_view haystack, std::string_view needle, size_t from = 0);
// Removes the first case-insensitive occurrence of needle, if any.
std::string RemoveFirstNoCase(std::string text, std::string_view needle);
// Case-insensitive (ASCII) ordering; ties are broken by bytes so the order is total.
bool LessNoCase(std::string_view a, std::string_view b);

// Compares two paths with separators normalised ('\' and '/' are equal) and
// ASCII case ignored.
bool SamePathNoCase(std::string_view a, std::string_view b);
// When path starts with prefix (separators normalised, case ignored) returns
// the rest of path; otherwise returns path unchanged and sets matched false.
std::string StripPathPrefix(const std::string& path, const std::string& prefix, bool* matched = nullptr);

// The text after the last '.'; empty when there is none.
std::string Extension(const std::string& name);
// The part after the last '\', '/' or ':' (a file name without its folders).
std::string ShortName(const std::string& path);
// The part before the last separator, without it; empty when there is none.
std::string ParentPath(const std::string& path);
// How the temporary file of a replacing write of the file named fileName
// (a name, no folders) starts: "." + the name + ".mwtmp.". A name longer
// than 200 bytes is cut there (at a character boundary), so that the
// temporary name fits where the name itself just fits (255 bytes).
std::string AtomicTempPrefix(const std::string& fileName);

// The folders EnsureFolders creates, in order: every prefix of the path that
// ends just before a separator, after the root (a leading "\\server\share" or
// a drive "X:", which are never created themselves).
std::vector<std::string> FolderPrefixes(const std::string& path);

// "%d:%02d" of whole minutes and remaining seconds of a millisecond span.
std::string FormatMinutesSeconds(unsigned long long elapsedMs);

// printf-style formatting into a std::string.
#if defined(__MINGW32__)
// MinGW's printf archetype is the Microsoft one; the C99 one is what Format implements.
std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
#else
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
#endif

// Splits text at every occurrence of the delimiter; keeps empty pieces.
std::vector<std::string> SplitText(const std::string& text, char delimiter);

// True when text ends with suffix (bytes, case-sensitive).
bool EndsWith(std::string_view text, std::string_view suffix);

} // namespace mw
