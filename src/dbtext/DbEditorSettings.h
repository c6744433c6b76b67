// The Database Editor's settings in the "Database" section of Tools.ini: the
// show-descriptions switch and the widths of the six list columns.
#pragma once

#include <array>
#include <string>

namespace mw {

enum class DbEditorColumn
{
    Name,
    Class,
    Type,
    Description,
    Value,
    DefaultValue,
};

class DbEditorSettings
{
public:
    static constexpr size_t kColumnCount = 6;

    // The heading shown for a column ("Name" ... "Default Value").
    static const char* Heading(DbEditorColumn column);
    // The Tools.ini key of a column's width ("nameColumnWidth" ...).
    static const char* WidthKey(DbEditorColumn column);
    static int DefaultWidth(DbEditorColumn column);

    // Missing keys give the built-in defaults.
    void Read(const std::string& iniPath);
    // Writes viewDescriptions and the widths of the columns marked shown;
    // the others keep their stored value. False when the file can't be written.
    bool Write(const std::string& iniPath, const std::array<bool, kColumnCount>& shown) const;

    int Width(DbEditorColumn column) const { return m_widths[size_t(column)]; }
    void SetWidth(DbEditorColumn column, int width) { m_widths[size_t(column)] = width; }

    bool viewDescriptions = false;

private:
    std::array<int, kColumnCount> m_widths = {150, 80, 80, 200, 120, 150};
};

} // namespace mw
