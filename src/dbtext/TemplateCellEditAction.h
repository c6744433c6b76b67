// Undo action of one cell of the template's variable list (name, class,
// type, description or default value): the variable before and after.
#pragma once

#include "DbVariable.h"
#include "UndoAction.h"

namespace mw {

class TemplateCellEditAction : public UndoAction
{
public:
    TemplateCellEditAction(const std::string& templateShortName, int row, int column, DbVariable before,
                           DbVariable after, std::string groupName);

    void Undo() override { Apply(m_before); }
    void Redo() override { Apply(m_after); }
    int Column() const { return m_column; }

private:
    void Apply(const DbVariable& state);

    int m_row;
    int m_column;
    DbVariable m_before;
    DbVariable m_after;
    std::string m_groupName;
};

} // namespace mw
