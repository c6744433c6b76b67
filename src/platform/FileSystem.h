// The file-system boundary. Every path may mix '\' and '/'; a path that does
// not exist as written is resolved case-insensitively (ASCII), component by
// component; creation resolves the existing prefix the same way and creates
// the rest as written. Listings come sorted by name, case-insensitively.
#pragma once

#include "FileTime.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

struct FolderEntry
{
    std::string name;
    bool isFolder = false;
};

// The OS path for a tool path: separators made native, and each component
// that does not exist as written replaced by an existing one that differs
// only in ASCII case. Components with no match are kept as written.
std::string ResolvePath(const std::string& path);

struct FileInfo
{
    FileTime lastWrite;
    uint64_t size = 0;
    bool isFolder = false;
};

// One look at a file: its time, size and kind.
bool GetFileInfo(const std::string& path, FileInfo& info);
bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);
bool IsFile(const std::string& path);
bool GetFileSize(const std::string& path, uint64_t& size);

bool GetLastWriteTime(const std::string& path, FileTime& time);
bool SetLastWriteTime(const std::string& path, FileTime time);

// The read-only attribute is the owner's write permission.
bool GetReadOnly(const std::string& path, bool& readOnly);
bool SetReadOnly(const std::string& path, bool readOnly);
bool MakeWritable(const std::string& path);

bool ReadWholeFile(const std::string& path, std::string& bytes);
// The same, with the last-write time of the file that was read.
bool ReadWholeFile(const std::string& path, std::string& bytes, FileTime& lastWrite);
// Reads up to length bytes from offset (fewer at the end of the file); false
// when the file cannot be opened or read.
bool ReadFileRange(const std::string& path, uint64_t offset, size_t length, std::string& bytes);

// Replaces (or creates) the file through a temporary file in the same folder
// and a rename, so a failure never leaves a truncated file. Refuses, like the
// platform's own writes, to replace a read-only file.
bool WriteFileAtomic(const std::string& path, std::string_view bytes);
// The same for a file the build makes from sources it keeps, written from
// the pieces in order. Where the system can, the new file swaps places with
// the old one, which spares waiting for the new one's blocks to reach the
// disk: after a power cut such a file may need building again, never a
// source.
bool WriteBuiltFileAtomic(const std::string& path, const std::vector<std::string_view>& pieces);
// The same for a large built file that is saved again and again (the
// database archive). The file it replaces is kept under a hidden name beside
// it (".<name>.mwtmp.spare.<extension>") until the process ends, and the next
// save rewrites that spare in place of a new file when nobody has it open:
// rewriting pages the system already holds costs a fraction of filling new
// ones. Where the system cannot, it is WriteBuiltFileAtomic.
bool WriteBuiltFileKeepingSpare(const std::string& path, const std::vector<std::string_view>& pieces);
// Removes the spares this process kept (done anyway when it ends).
void RemoveSpareFiles();
// A compiled or copied output, written like WriteBuiltFileAtomic. When the
// file already holds exactly these bytes (a rebuild that changed nothing),
// it is left in place and only its last-write time renewed: making a new
// file costs many times more than reading the old one. A link, or a file
// with a second name, is always replaced as before.
bool WriteBuiltOutput(const std::string& path, std::string_view bytes);
// Text mode: every LF is written as CR LF (an existing CR LF stays CR LF).
bool WriteTextFileAtomic(const std::string& path, std::string_view text);
std::string ToCrLf(std::string_view text);

// Copies the bytes and keeps the source's last-write time. Fails when the
// target exists and is read-only.
bool CopyFileKeepTime(const std::string& source, const std::string& target);
// The same for derived copies that are refreshed often (build output): the
// target is overwritten in place, which reuses its file and blocks instead
// of making new ones each time. A copy that fails gets the oldest possible
// time, and one cut short by a crash keeps its old time or a size that
// differs from the source's, so callers compare sizes as well as times.
bool OverwriteFileKeepTime(const std::string& source, const std::string& target);
// The same with the source's bytes and time already in hand.
bool OverwriteFileWithTime(const std::string& target, std::string_view bytes, FileTime lastWrite);

// True when new files can be made in the folder (it exists and, on POSIX,
// grants write and search permission).
bool CanCreateFileIn(const std::string& folder);
bool RemoveFile(const std::string& path);
bool RenamePath(const std::string& from, const std::string& to);
// A second name (a hard link) for an existing file, in the same file system:
// keeps the file's bytes reachable when its first name is replaced, and takes
// no room for them.
bool LinkFile(const std::string& existing, const std::string& link);
bool CreateFolder(const std::string& path);
bool RemoveEmptyFolder(const std::string& path);
// Creates every folder along the path (failures ignored) and tells whether
// the path, without one trailing separator, names an existing folder.
bool EnsureFolders(const std::string& path);
// Removes every file (made writable first) and folder below the folder, then the folder.
bool DeleteFolderTree(const std::string& path);

// The entries of a folder without "." and "..", sorted case-insensitively.
bool ListFolder(const std::string& path, std::vector<FolderEntry>& entries);
// The same in the order the file system gives, for a caller that looks at
// only some of a large folder's entries in order (and sorts those).
bool ListFolderUnsorted(const std::string& path, std::vector<FolderEntry>& entries);
// Sorts entries as ListFolder does: by name, case-insensitively (LessNoCase).
void SortFolderEntries(std::vector<FolderEntry>& entries);

// The text of the last failed call (errno).
std::string LastErrorText();

} // namespace mw
