// Reads arbitrary bytes as a record and writes it back.
#include "dbtext/DbRecord.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    mw::DbRecord record;
    record.Read(reinterpret_cast<const char*>(data), size);
    std::string text;
    record.Write(text);
    return 0;
}
