// Reading and writing the editor's settings.
#include "DbEditorSettings.h"

#include "platform/ProfileFile.h"

namespace mw {
namespace {

const char* const kSection = "Database";

} // namespace

const char* DbEditorSettings::Heading(DbEditorColumn column)
{
    static const char* const headings[kColumnCount] = {"Name",        "Class", "Type",
                                                       "Description", "Value", "Default Value"};
    return headings[size_t(column)];
}

const char* DbEditorSettings::WidthKey(DbEditorColumn column)
{
    static const char* const keys[kColumnCount] = {"nameColumnWidth",        "classColumnWidth",
                                                   "typeColumnWidth",        "descriptionColumnWidth",
                                                   "valueColumnWidth",       "defaultValueColumnWidth"};
    return keys[size_t(column)];
}

int DbEditorSettings::DefaultWidth(DbEditorColumn column)
{
    return DbEditorSettings().Width(column);
}

void DbEditorSettings::Read(const std::string& iniPath)
{
    viewDescriptions = ReadProfileInt(kSection, "viewDescriptions", 0, iniPath) != 0;
    for (size_t i = 0; i < kColumnCount; ++i)
    {
        auto column = DbEditorColumn(i);
        int width = ReadProfileInt(kSection, WidthKey(column), DefaultWidth(column), iniPath);
        m_widths[i] = width > 0 ? width : DefaultWidth(column);
    }
}

bool DbEditorSettings::Write(const std::string& iniPath, const std::array<bool, kColumnCount>& shown) const
{
    bool ok = WriteProfileString(kSection, "viewDescriptions", viewDescriptions ? "1" : "0", iniPath);
    for (size_t i = 0; i < kColumnCount; ++i)
        if (shown[i])
            ok = WriteProfileString(kSection, WidthKey(DbEditorColumn(i)), std::to_string(m_widths[i]), iniPath) && ok;
    return ok;
}

} // namespace mw
