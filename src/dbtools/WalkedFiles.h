// The files a build's walk found on disk, kept so that a later pass of the
// same build (the unassociated-files scan) need not look at each again. A
// name found here existed a moment ago; a name not found is looked up on
// disk as before, so the set only ever saves work and never decides that a
// file is gone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

class WalkedFiles
{
public:
    // relative: below the walked folder, either separator, any case. False
    // when the name was noted before (or cannot be noted).
    bool Add(std::string_view relative);
    // Room for count more names, so a walk's adds do not grow the table.
    void Reserve(size_t count);
    bool Contains(std::string_view relative) const { return Contains(std::string_view(), relative); }
    // The same for folder + name, without joining them.
    bool Contains(std::string_view folder, std::string_view name) const;
    bool Empty() const { return m_count == 0; }

    // The database compile's word on its archive: the stored names of the
    // records the archive held that its walk did not find. Unset when the
    // compile did not go through all its records.
    void SetArchiveRecordsNotWalked(std::vector<std::string> names) { m_recordsNotWalked = std::move(names); }
    const std::optional<std::vector<std::string>>& ArchiveRecordsNotWalked() const { return m_recordsNotWalked; }

    // The form names are compared in: lower-cased, '/' separators.
    static std::string Key(std::string_view relative);

private:
    // A walk notes tens of thousands of names: they are kept one after
    // another in one buffer, in key form, and found through an open table
    // of their places, which costs no allocation per name.
    struct Slot
    {
        uint64_t hash = 0;
        uint32_t offset = 0;
        uint32_t length = kEmpty;
    };
    static constexpr uint32_t kEmpty = UINT32_MAX;

    // The slot holding folder + name, or the empty one where it would go.
    size_t Find(std::string_view folder, std::string_view name, uint64_t hash) const;
    void Grow(size_t slots);

    std::string m_keys;
    std::vector<Slot> m_slots; // a power of two in size, at most half full
    size_t m_count = 0;
    std::optional<std::vector<std::string>> m_recordsNotWalked;
};

} // namespace mw
