// Undo action of a group deleted from its parent: undo puts it back at its
// old index under its old parent.
#pragma once

#include "GroupAddAction.h"

namespace mw {

class GroupDeleteAction : public GroupAddAction
{
public:
    using GroupAddAction::GroupAddAction;

    void Undo() override { Insert(); }
    void Redo() override { Remove(); }
};

} // namespace mw
