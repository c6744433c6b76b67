// Opening a file in the desktop's default application: every file that is
// not a record or template, and records and templates in a build without
// the Database Editor.
#pragma once

#include <string>

namespace mw {

// fullPath: a file on disk. False when nothing could be started.
bool OpenDocument(const std::string& fullPath);

} // namespace mw
