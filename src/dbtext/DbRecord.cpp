// Reading and writing the record text format: "name,value," lines, the
// template name first, history entries last.
#include "DbRecord.h"

#include "DbTextReader.h"

#include <algorithm>

namespace mw {

DbRecord::DbRecord() : DbDocument("Database Record Files (*.dbr)|*.dbr|") {}

int DbRecord::Clear()
{
    m_values.clear();
    return 1;
}

void DbRecord::ReadViews(const char* bytes, size_t length, std::string_view& templateName,
                         std::vector<ValueView>& values, std::vector<std::string_view>& history)
{
    templateName = std::string_view();
    values.clear();
    history.clear();
    DbTextReader reader(bytes, length, {}, true);
    while (!reader.AtEnd())
    {
        std::string_view token = reader.NextTokenView();
        if (token == "templateName")
            templateName = reader.ReadDelimitedView(',', ',', true);
        else if (token.empty())
            continue;
        else
        {
            std::string_view value = reader.ReadDelimitedView(',', ',', true);
            if (token == "fileNameHistoryEntry")
                history.push_back(value);
            else
                values.emplace_back(token, value);
        }
    }
}

void DbRecord::SortValues(std::vector<ValueView>& values)
{
    auto byName = [](const ValueView& a, const ValueView& b) { return a.first < b.first; };
    // Records the tool wrote are in order already.
    if (!std::is_sorted(values.begin(), values.end(), byName))
        std::stable_sort(values.begin(), values.end(), byName);
    // Of equal names (adjacent now, in file order) the last one stays.
    size_t kept = 0;
    for (size_t i = 0; i < values.size(); ++i)
    {
        if (i + 1 < values.size() && values[i + 1].first == values[i].first)
            continue;
        values[kept++] = values[i];
    }
    values.resize(kept);
}

int DbRecord::Read(const char* bytes, size_t length)
{
    if (!Clear())
        return 0;
    SetKeywords({","});
    std::string_view templateName;
    std::vector<ValueView> values;
    std::vector<std::string_view> history;
    ReadViews(bytes, length, templateName, values, history);
    m_templateName = templateName;
    for (std::string_view entry : history)
        AddHistoryEntry(std::string(entry));
    SortValues(values);
    // Sorted and unique, so every value goes at the end of the map.
    for (const auto& [name, value] : values)
        m_values.emplace_hint(m_values.end(), name, value);
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
