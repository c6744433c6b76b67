// Reads arbitrary bytes as a template and writes it back.
#include "dbtext/DbTemplate.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    mw::DbTemplate dbTemplate;
    dbTemplate.Read(reinterpret_cast<const char*>(data), size);
    std::string text;
    dbTemplate.Write(text);
    return 0;
}
