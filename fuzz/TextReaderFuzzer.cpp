// Drives the tokenizer over arbitrary bytes with and without symbols.
#include "dbtext/DbTextReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    bool strip = size > 0 && (data[0] & 1);
    mw::DbTextReader reader(text, size, {"X", "DEBUG"}, strip);
    size_t guard = 0;
    while (!reader.AtEnd() && guard++ <= size + 1)
    {
        reader.NextToken();
        if (!reader.AtEnd())
            reader.ReadDelimited(size > 1 ? char(data[1] & 0x3f) : ',', ',', true);
    }
    // Every call moves forward or ends the text, so this loop always ends.
    if (!reader.AtEnd())
        __builtin_trap();
    return 0;
}
