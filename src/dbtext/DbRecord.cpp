// Reading and writing the record text format: "name,value," lines, the
// template name first, history entries last.
#include "DbRecord.h"

#include "DbTextReader.h"

namespace mw {

DbRecord::DbRecord() : DbDocument("Database Record Files (*.dbr)|*.dbr|") {}

int DbRecord::Clear()
{
    m_values.clear();
    return 1;
}

int DbRecord::Read(const char* bytes, size_t length)
{
    if (!Clear())
        return 0;
    SetKeywords({","});
    m_templateName.clear();
    DbTextReader reader(bytes, length, {}, true);
    // Tokens and values are views into the bytes until they are stored; a
    // record written by the tool lists its values in order, so each new name
    // usually goes at the end of the map.
    while (!reader.AtEnd())
    {
        std::string_view token = reader.NextTokenView();
        if (token == "templateName")
            m_templateName = reader.ReadDelimitedView(',', ',', true);
        else if (token.empty())
            continue;
        else
        {
            std::string_view value = reader.ReadDelimitedView(',', ',', true);
            if (token == "fileNameHistoryEntry")
                AddHistoryEntry(std::string(value));
            else if (!m_values.empty() && m_values.rbegin()->first < token)
                m_values.emplace_hint(m_values.end(), token, value);
            else
                m_values.insert_or_assign(std::string(token), std::string(value));
        }
    }
    return 1;
}

int DbRecord::Write(std::string& text) const
{
    text += "templateName," + m_templateName + ",\n";
    for (const auto& [name, value] : m_values)
    {
        text += name;
        text += ',';
        text += value;
        text += ",\n";
    }
    for (const std::string& entry : History())
        text += "fileNameHistoryEntry," + entry + ",\n";
    return 1;
}

void DbRecord::SetTemplateName(const std::string& name)
{
    m_templateName = name;
    FileState().SetModified(true);
}

std::string DbRecord::GetValue(const std::string& name) const
{
    auto it = m_values.find(name);
    return it == m_values.end() ? std::string() : it->second;
}

void DbRecord::SetValue(const std::string& name, const std::string& value) { m_values[name] = value; }

void DbRecord::RemoveValue(const std::string& name) { m_values.erase(name); }

} // namespace mw
