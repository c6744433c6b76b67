// Hands a DbArchive's string table to the engine's record reader.
#pragma once

#include "platform/engine/DatabaseArchive.h"

namespace mw {

class DbArchive;

class DbArchiveStrings : public GAME::DatabaseArchive
{
public:
    explicit DbArchiveStrings(const DbArchive& archive) : m_archive(archive) {}
    bool GetString(uint32_t id, std::string& text) const override;

private:
    const DbArchive& m_archive;
};

} // namespace mw
