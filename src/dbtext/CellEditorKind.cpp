// The in-place editor of a cell.
#include "CellEditorKind.h"

#include "TemplateEditing.h"

namespace mw {

CellEditorKind ChooseCellEditor(const std::string& heading, bool recordValueColumn, bool templateMode,
                                const std::string& type, const std::string& varClass)
{
    if (heading == "Name")
    {
        bool fixedName = type == "include" || type == "eqnVariable";
        return templateMode && !fixedName ? CellEditorKind::TextField : CellEditorKind::None;
    }
    bool valueCell = templateMode ? heading == "Default Value" : (recordValueColumn || heading == "Value");
    if (!valueCell)
    {
        if (!templateMode)
            return CellEditorKind::None;
        if (heading == "Type")
            return CellEditorKind::TypeChoice;
        if (heading == "Class")
            return CellEditorKind::ClassChoice;
        if (heading == "Description")
            return CellEditorKind::TextField;
        return CellEditorKind::None;
    }
    if (type == "include" || IsFileType(type))
        return CellEditorKind::FileButton;
    if (!templateMode)
    {
        if (varClass == "static")
            return CellEditorKind::None;
        if (varClass == "picklist")
            return CellEditorKind::PicklistChoice;
        if (varClass == "variable" && type == "equation")
            return CellEditorKind::EquationEditor;
    }
    return CellEditorKind::TextField;
}

} // namespace mw
