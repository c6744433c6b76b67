// Turning a binary record body back into record text.
#include "LoadTableBinary.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>

namespace GAME {

bool LoadTableBinary::Deserialize(BinaryReader& reader)
{
    m_templateName.clear();
    m_entries.clear();
    while (!reader.AtEnd())
    {
        uint32_t descriptor = 0;
        uint32_t keyId = 0;
        if (!reader.ReadUInt32(descriptor) || !reader.ReadUInt32(keyId))
            return false;
        uint32_t code = descriptor & 0xFFFF;
        uint32_t count = descriptor >> 16;
        std::string name;
        if (!m_archive || !m_archive->GetString(keyId, name))
            return false;
        if (code > 3)
            continue;
        std::string value;
        for (uint32_t i = 0; i < count; ++i)
        {
            uint32_t word = 0;
            if (!reader.ReadUInt32(word))
                return false;
            if (i)
                value += ';';
            char buffer[64];
            if (code == 0)
                value += std::to_string(int32_t(word));
            else if (code == 1)
            {
                float number;
                std::memcpy(&number, &word, 4);
                // The shortest text that reads back as the same float.
                auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
                value.append(buffer, result.ptr);
            }
            else if (code == 2)
            {
                std::string text;
                if (!m_archive->GetString(word, text))
                    return false;
                value += text;
            }
            else
                value += word ? "1" : "0";
        }
        if (name == "templateName" && code == 2 && m_templateName.empty() && m_entries.empty())
            m_templateName = value;
        else
            m_entries.push_back(Entry{name, value});
    }
    return true;
}

bool LoadTableBinary::Serialize(std::string& text) const
{
    // The record text format keeps values in byte order of their names.
    std::map<std::string, std::string> sorted;
    for (const Entry& entry : m_entries)
        sorted[entry.name] = entry.value;
    text += "templateName," + m_templateName + ",\n";
    for (const auto& [name, value] : sorted)
        text += name + "," + value + ",\n";
    return true;
}

} // namespace GAME
