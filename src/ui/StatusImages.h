// The pictures of the file list: five status images (up to date, differs, no
// local copy, no status, other) and the two check-out marks.
#pragma once

#include <QIcon>

namespace mw {

// image 0..4 and state mark 0 (none), 1 (this user), 2 (another user).
// conflicted: a red exclamation mark over the dot.
QIcon FileStatusIcon(int image, int stateMark, bool conflicted = false);
QIcon FolderIcon();
QIcon PlainFileIcon();

} // namespace mw
