// The files that large built files replaced, kept beside them so the next
// write of the same file can rewrite one in place: on a file system that
// already holds its pages, that costs a fraction of filling a new file.
// A spare is a hidden file of a fixed name (so a crashed process leaves at
// most one per file, which the next one takes up) and is removed when the
// process that made it ends.
#pragma once

#include <string>
#include <sys/stat.h>

namespace mw {

// The spare of the file at nativePath: in its folder, "." + its name +
// ".mwtmp.spare" + its extension, so scans that pass over the file's kind
// pass over its spare too.
std::string SpareFileName(const std::string& nativePath);

// The spare opened for writing when it may be rewritten: a regular file of
// one name on the file's device, owned by this process's user, that nobody
// has open or mapped (a reader of an earlier version keeps what it reads).
// -1 otherwise.
int OpenReusableSpare(const std::string& spare, const struct stat& file);

// Notes that the spare exists, to be removed when this process ends.
void KeepSpare(const std::string& spare);

// Removes the spares this process kept.
void RemoveKeptSpares();

} // namespace mw
