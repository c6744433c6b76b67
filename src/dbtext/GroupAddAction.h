// Undo action of a group added below a parent at an index, and (as its
// reverse) of a group deleted from there.
#pragma once

#include "UndoAction.h"

#include <memory>

namespace mw {

class DbGroup;

class GroupAddAction : public UndoAction
{
public:
    // Keeps a deep copy of the group.
    GroupAddAction(const std::string& templateShortName, std::string parentName, const DbGroup& group, int index);
    ~GroupAddAction() override;

    void Undo() override { Remove(); }
    void Redo() override { Insert(); }

protected:
    void Insert();
    void Remove();

private:
    std::string m_parentName;
    std::unique_ptr<DbGroup> m_group;
    int m_index;
};

} // namespace mw
