// The files a build's walk found on disk, kept so that a later pass of the
// same build (the unassociated-files scan) need not look at each again. A
// name found here existed a moment ago; a name not found is looked up on
// disk as before, so the set only ever saves work and never decides that a
// file is gone.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

namespace mw {

class WalkedFiles
{
public:
    // relative: below the walked folder, either separator, any case.
    void Add(std::string_view relative);
    bool Contains(std::string_view relative) const;
    bool Empty() const { return m_files.empty(); }

    // The form names are kept in: lower-cased, '/' separators.
    static std::string Key(std::string_view relative);

private:
    std::unordered_set<std::string> m_files;
};

} // namespace mw
