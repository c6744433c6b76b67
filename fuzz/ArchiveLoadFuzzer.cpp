// Loads arbitrary bytes as a database archive, reads every record and saves it.
#include "dbarchive/ByteWriter.h"
#include "dbarchive/DbArchive.h"
#include "dbarchive/DbArchiveStrings.h"
#include "platform/engine/LoadTableBinary.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    mw::DbArchive archive;
    archive.Load(reinterpret_cast<const char*>(data), size);
    mw::DbArchiveStrings strings(archive);
    std::vector<mw::RecordEntry> entries = archive.Entries();
    for (const mw::RecordEntry& entry : entries)
    {
        std::string_view body;
        if (!archive.GetRecord(entry.nameId, body))
            continue;
        GAME::LoadTableBinary table(&strings);
        GAME::BinaryReader reader(body.data(), body.size());
        std::string text;
        if (table.Deserialize(reader))
            table.Serialize(text);
    }
    std::vector<std::string> lines;
    archive.WriteStatistics(lines);
    mw::ByteWriter writer(1024);
    archive.Serialize(writer);
    return 0;
}
