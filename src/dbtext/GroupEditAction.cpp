// Group edits.
#include "GroupEditAction.h"

#include "DbTemplate.h"
#include "IUndoTarget.h"
#include "TemplateEditing.h"

namespace mw {

GroupEditAction::GroupEditAction(const std::string& templateShortName, std::string oldName, std::string oldType,
                                 std::string newName, std::string newType)
    : UndoAction(templateShortName), m_oldName(std::move(oldName)), m_oldType(std::move(oldType)),
      m_newName(std::move(newName)), m_newType(std::move(newType))
{
}

void GroupEditAction::Apply(const std::string& fromName, const std::string& toName, const std::string& toType)
{
    if (!m_context.target)
        return;
    DbGroup* group = FindGroupByName(m_context.target->EditedTemplate(), fromName);
    if (!group)
        return;
    group->name = toName;
    group->type = toType;
    m_context.target->ShowChange(toName, -1);
}

} // namespace mw
