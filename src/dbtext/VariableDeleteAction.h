// Undo action of a variable deleted from a group: undo puts it back at its row.
#pragma once

#include "VariableInsertAction.h"

namespace mw {

class VariableDeleteAction : public VariableInsertAction
{
public:
    using VariableInsertAction::VariableInsertAction;

    void Undo() override { Insert(); }
    void Redo() override { Remove(); }
};

} // namespace mw
