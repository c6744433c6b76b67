// The files a build's walk found on disk, kept so that a later pass of the
// same build (the unassociated-files scan) need not look at each again. A
// name found here existed a moment ago; a name not found is looked up on
// disk as before, so the set only ever saves work and never decides that a
// file is gone.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace mw {

class WalkedFiles
{
public:
    // relative: below the walked folder, either separator, any case.
    void Add(std::string_view relative);
    // Room for count more names, so a walk's adds do not rehash.
    void Reserve(size_t count) { m_files.reserve(m_files.size() + count); }
    bool Contains(std::string_view relative) const { return Contains(std::string_view(), relative); }
    // The same for folder + name, without joining them.
    bool Contains(std::string_view folder, std::string_view name) const;
    bool Empty() const { return m_files.empty(); }

    // The database compile's word on its archive: the stored names of the
    // records the archive held that its walk did not find. Unset when the
    // compile did not go through all its records.
    void SetArchiveRecordsNotWalked(std::vector<std::string> names) { m_recordsNotWalked = std::move(names); }
    const std::optional<std::vector<std::string>>& ArchiveRecordsNotWalked() const { return m_recordsNotWalked; }

    // The form names are compared in: lower-cased, '/' separators.
    static std::string Key(std::string_view relative);

private:
    // Two views read as one name, so a lookup need not join them.
    struct Split
    {
        std::string_view first;
        std::string_view second;
    };
    // Hashes and compares in the key form without making it.
    struct KeyHash
    {
        using is_transparent = void;
        size_t operator()(const std::string& name) const { return (*this)(Split{std::string_view(), name}); }
        size_t operator()(const Split& name) const;
    };
    struct KeyEqual
    {
        using is_transparent = void;
        bool operator()(const std::string& a, const std::string& b) const { return a == b; }
        bool operator()(const Split& a, const std::string& b) const;
        bool operator()(const std::string& a, const Split& b) const { return (*this)(b, a); }
    };

    std::unordered_set<std::string, KeyHash, KeyEqual> m_files;
    std::optional<std::vector<std::string>> m_recordsNotWalked;
};

} // namespace mw
