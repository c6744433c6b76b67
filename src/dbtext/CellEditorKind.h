// Which in-place editor a cell of the variable list gets, from its column
// heading, the editor's mode and the row's type and class.
#pragma once

#include <string>

namespace mw {

enum class CellEditorKind
{
    None,
    TextField,
    ClassChoice,
    TypeChoice,
    FileButton,
    PicklistChoice,
    EquationEditor,
};

// recordValueColumn: the column is an open record's value column (record
// mode; such columns are headed by the record's short name).
CellEditorKind ChooseCellEditor(const std::string& heading, bool recordValueColumn, bool templateMode,
                                const std::string& type, const std::string& varClass);

} // namespace mw
