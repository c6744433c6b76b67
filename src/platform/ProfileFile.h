// Private-profile (ini) files: sections and keys compared without regard to
// case, a missing key gives the default, every read goes to the file anew.
#pragma once

#include <string>

namespace mw {

// Values are read into a buffer of this size, so at most 1023 bytes come back.
constexpr size_t kProfileValueBufferSize = 1024;

std::string ReadProfileString(const std::string& section, const std::string& key, const std::string& defaultValue,
                              const std::string& path);
int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue, const std::string& path);
// Sets the key, keeping every other line of the file, its line ends (LF or
// CR LF) and a leading UTF-8 byte-order mark, which reads ignore; adds the key at the end
// of its section, or the section at the end of the file. A missing file is
// created (its folder must exist). False when the file cannot be written.
bool WriteProfileString(const std::string& section, const std::string& key, const std::string& value,
                        const std::string& path);

// What makes an existing file unusable as a settings file ("cannot be read
// (Permission denied)", "is a folder", no section at all, zero bytes), or
// empty when it is usable or does not exist (a missing file gives defaults).
std::string ProfileFileProblem(const std::string& path);

} // namespace mw
