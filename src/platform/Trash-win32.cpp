// The Recycle Bin on Windows: the shell moves the item there and keeps where
// it came from; putting it back is the Recycle Bin's own Restore.
#include "Trash.h"

#include "FileSystem.h"
#include "PathRules.h"
#include "WideText-win32.h"

#include <windows.h>
#include <shellapi.h>

namespace mw {

TrashOutcome MoveToTrash(const std::string& path)
{
    TrashOutcome outcome;
    std::string trimmed = path;
    while (trimmed.size() > 1 && IsSeparator(trimmed.back()) && trimmed[trimmed.size() - 2] != ':')
        trimmed.pop_back();
    if (!PathExists(trimmed))
        return outcome;
    // The shell takes a list of plain absolute names ended by two zeros; it
    // does not accept the long-path prefix.
    std::wstring from = ToWide(ToBackslashes(trimmed));
    DWORD needed = ::GetFullPathNameW(from.c_str(), 0, nullptr, nullptr);
    if (needed != 0)
    {
        std::wstring full(needed, L'\0');
        full.resize(::GetFullPathNameW(from.c_str(), needed, full.data(), nullptr));
        from = full;
    }
    // Where a drive has no Recycle Bin the shell would delete for good:
    // such an item is left where it is.
    std::wstring root(from.size() + 1, L'\0');
    SHQUERYRBINFO binInfo{};
    binInfo.cbSize = sizeof binInfo;
    if (!::GetVolumePathNameW(from.c_str(), root.data(), DWORD(root.size())) ||
        ::SHQueryRecycleBinW(root.c_str(), &binInfo) != S_OK)
    {
        outcome.result = TrashResult::NoTrash;
        return outcome;
    }
    from.push_back(L'\0');
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    if (::SHFileOperationW(&operation) != 0 || operation.fAnyOperationsAborted)
        return outcome;
    if (PathExists(trimmed))
    {
        outcome.result = TrashResult::NoTrash;
        return outcome;
    }
    outcome.result = TrashResult::Trashed;
    return outcome;
}

bool RestoreFromTrash(const std::string&) { return false; }

std::string HomeTrashFolder() { return std::string(); }

} // namespace mw
