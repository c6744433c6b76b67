// What the engine's record reader needs of a database archive: the texts of
// its string table by id.
#pragma once

#include <cstdint>
#include <string>

namespace GAME {

class DatabaseArchive
{
public:
    virtual ~DatabaseArchive() = default;
    // False when the id names no string.
    virtual bool GetString(uint32_t id, std::string& text) const = 0;
};

} // namespace GAME
