// Undo action of a group's name and type changed in the group dialog.
#pragma once

#include "UndoAction.h"

namespace mw {

class GroupEditAction : public UndoAction
{
public:
    GroupEditAction(const std::string& templateShortName, std::string oldName, std::string oldType,
                    std::string newName, std::string newType);

    void Undo() override { Apply(m_newName, m_oldName, m_oldType); }
    void Redo() override { Apply(m_oldName, m_newName, m_newType); }

private:
    void Apply(const std::string& fromName, const std::string& toName, const std::string& toType);

    std::string m_oldName;
    std::string m_oldType;
    std::string m_newName;
    std::string m_newType;
};

} // namespace mw
