// Undo action of a variable inserted into a group at a row, and (as its
// reverse) of a variable deleted from one.
#pragma once

#include "DbVariable.h"
#include "UndoAction.h"

namespace mw {

class VariableInsertAction : public UndoAction
{
public:
    VariableInsertAction(const std::string& templateShortName, int index, std::string groupName,
                         DbVariable variable);

    void Undo() override { Remove(); }
    void Redo() override { Insert(); }

protected:
    void Insert();
    void Remove();

private:
    int m_index;
    std::string m_groupName;
    DbVariable m_variable;
};

} // namespace mw
