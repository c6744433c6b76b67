// Writes one extracted file below a destination folder without ever leaving
// it: no symbolic link is followed on the way or at the target.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace GAME {

// relativeName: a name that ResourceArchiveFile::IsSafeName accepts. Missing
// folders are created; existing ones are matched ignoring ASCII case. The file
// is written through a temporary file and a rename and gets lastWrite (100 ns
// units since 1601) as its time. False with a reason on failure.
bool WriteFileBelowFolder(const std::string& folder, const std::string& relativeName, std::string_view bytes,
                          uint64_t lastWrite, std::string& error);

} // namespace GAME
