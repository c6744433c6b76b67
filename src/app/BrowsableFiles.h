// What the file browser offers: the record names of the built database
// archives and the entries of the built resource archives, read without
// unpacking anything.
#pragma once

#include <string>
#include <vector>

namespace mw {

struct BrowsableFile
{
    std::string archive; // full path of the archive it is in
    std::string name;    // the record name or the entry's path in the archive
    // What the browser shows: the archive's file name, then the name.
    std::string Shown() const;
    // The path the game resolves, as a value names it: a record's name, or
    // a resource entry below its archive's folder ("textures/rose.tex" for
    // rose.tex in textures.arc, "xpack/g/x.tex" for an archive in XPack/),
    // the same as the file's path in the mod's trees.
    std::string GamePath() const;
};

struct BrowseFolders
{
    std::string buildDir;                        // ends in a separator
    std::string startDir;                        // the game's own data without a mod
    std::vector<std::string> additionalBuildDirs; // each ends in a separator
};

// extensions: ","-separated without dots ("tex,msh"), empty for every file.
// A list with "dbr" lists the records of the database archives; any other
// extension (or none) lists matching entries of the resource archives below
// Resources/, Resources/XPack, Audio/ and Text/. modName empty: the game's
// own data, with the additional build folders after it. Archives that
// cannot be read are passed over.
std::vector<BrowsableFile> ListBrowsableFiles(const BrowseFolders& folders, const std::string& modName,
                                              const std::string& extensions);

} // namespace mw
