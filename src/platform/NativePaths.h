// The separator form paths take where a person reads or types them: folder
// settings written to Tools.ini, proposed folders and the tool's own messages.
// The algorithms keep building paths with '\'; these turn them into the form
// the running system shows ('/' on POSIX, '\' on Windows).
#pragma once

#include <string>

namespace mw {

// '/' on POSIX, '\' on Windows.
char NativeSeparator();

// Every separator ('\' or '/') becomes the native one.
std::string ToNativeSeparators(std::string path);

// A folder setting in native form: native separators and, like
// WithTrailingSeparator, a trailing one on paths of two or more characters.
std::string NativeFolder(const std::string& path);

} // namespace mw
