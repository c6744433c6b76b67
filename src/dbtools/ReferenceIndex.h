// The references every record and template of the database folder holds,
// read once per run and kept current: each search compares every file's
// last-write time and size with what was read, so edits made by the tool and
// edits made outside it are both seen, and only changed files are read again.
#pragma once

#include "MovedReferences.h"
#include "platform/FileTime.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace mw {

class IWorkspaceContext;

class ReferenceIndex
{
public:
    // The same files, in the same order and with the same counts, as the plain
    // FindReferringFiles, from the index. The first search of a database
    // folder reads every file; later ones read only files that changed.
    std::vector<ReferringFile> FindReferringFiles(IWorkspaceContext& context, const std::vector<PathChange>& changes);

    // A file the tool has just written, moved or deleted (path relative to
    // the working folder): read again on the next search whatever its time.
    void Forget(IWorkspaceContext& context, const std::string& path);
    void Clear();

    // How many files the last search read (the rest came from the index).
    size_t FilesReadLastSearch() const { return m_filesRead; }
    size_t IndexedFiles() const { return m_files.size(); }

private:
    struct Entry
    {
        FileTime lastWrite;
        uint64_t size = 0;
        uint64_t seenInSearch = 0;
        std::vector<uint32_t> keys; // into m_keys
    };

    uint32_t KeyId(std::string key);

    std::string m_folder;
    std::unordered_map<std::string, Entry> m_files; // by full path
    // Each distinct reference once: files share the paths they name.
    std::unordered_map<std::string, uint32_t> m_keyIds;
    std::vector<const std::string*> m_keys;
    uint64_t m_search = 0;
    size_t m_filesRead = 0;
};

} // namespace mw
