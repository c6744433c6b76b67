// Windows only: conversion between the core's UTF-8 byte strings and the
// wide strings of the Windows calls, and the error state those calls leave.
#pragma once

#include <string>

namespace mw {

std::wstring ToWide(const std::string& text);
std::string FromWide(const std::wstring& text);

// A path for the wide file calls: separators turned into '\', and long
// paths (about MAX_PATH and beyond) made absolute with the "\\?\" prefix so
// that the length limit does not apply.
std::wstring NativePath(const std::string& path);

// Records GetLastError() for LastErrorText() and sets errno to its nearest
// equivalent, for callers that report errno.
void NoteLastError();
void NoteError(unsigned long code);

} // namespace mw
