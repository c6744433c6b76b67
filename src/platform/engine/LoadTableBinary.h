// Turns one binary database record body back into record text.
#pragma once

#include "BinaryReader.h"
#include "DatabaseArchive.h"

#include <cstdint>
#include <string>
#include <vector>

namespace GAME {

class LoadTableBinary
{
public:
    explicit LoadTableBinary(const DatabaseArchive* archive) : m_archive(archive) {}

    // Loads the entries of one body; false when the body is malformed or
    // names a string the archive does not hold.
    bool Deserialize(BinaryReader& reader);
    // Appends the record in the record text format (LF line ends; the caller
    // writes the text in text mode, so the file gets CR LF).
    bool Serialize(std::string& text) const;

private:
    struct Entry
    {
        std::string name;
        std::string value;
    };

    const DatabaseArchive* m_archive;
    std::string m_templateName;
    std::vector<Entry> m_entries;
};

} // namespace GAME
