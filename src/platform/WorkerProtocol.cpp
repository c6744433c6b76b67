// Encoding of the requests a compiler worker takes.
#include "WorkerProtocol.h"

namespace mw::worker {

void PutU32(std::string& bytes, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(char((value >> shift) & 0xFF));
}

uint32_t GetU32(const char* bytes)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | uint8_t(bytes[i]);
    return value;
}

std::string EncodeRequest(const std::string& folder, const std::vector<std::string>& arguments)
{
    std::string body;
    PutU32(body, uint32_t(folder.size()));
    body += folder;
    for (const std::string& argument : arguments)
    {
        PutU32(body, uint32_t(argument.size()));
        body += argument;
    }
    return body;
}

bool DecodeRequest(std::string_view body, std::string& folder, std::vector<std::string>& arguments)
{
    std::vector<std::string> texts;
    size_t at = 0;
    while (at < body.size())
    {
        if (body.size() - at < 4)
            return false;
        uint32_t length = GetU32(body.data() + at);
        at += 4;
        if (length > body.size() - at)
            return false;
        texts.emplace_back(body.substr(at, length));
        at += length;
    }
    if (texts.empty())
        return false;
    folder = std::move(texts.front());
    arguments.assign(std::make_move_iterator(texts.begin() + 1), std::make_move_iterator(texts.end()));
    return true;
}

} // namespace mw::worker
