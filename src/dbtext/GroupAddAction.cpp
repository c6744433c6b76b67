// Group additions and deletions.
#include "GroupAddAction.h"

#include "DbGroup.h"
#include "DbTemplate.h"
#include "IUndoTarget.h"
#include "TemplateEditing.h"

namespace mw {

GroupAddAction::GroupAddAction(const std::string& templateShortName, std::string parentName, const DbGroup& group,
                               int index)
    : UndoAction(templateShortName), m_parentName(std::move(parentName)), m_group(group.DeepCopy()), m_index(index)
{
}

GroupAddAction::~GroupAddAction() = default;

void GroupAddAction::Insert()
{
    if (!m_context.target)
        return;
    DbGroup* parent = FindGroupByName(m_context.target->EditedTemplate(), m_parentName);
    if (!parent)
        return;
    size_t index = std::min(size_t(std::max(m_index, 0)), parent->subgroups.size());
    parent->subgroups.insert(parent->subgroups.begin() + long(index), m_group->DeepCopy());
    m_context.target->ShowChange(m_group->name, -1);
}

void GroupAddAction::Remove()
{
    if (!m_context.target)
        return;
    DbGroup* parent = FindGroupByName(m_context.target->EditedTemplate(), m_parentName);
    if (!parent || m_index < 0 || size_t(m_index) >= parent->subgroups.size() ||
        parent->subgroups[size_t(m_index)]->name != m_group->name)
        return;
    parent->subgroups.erase(parent->subgroups.begin() + m_index);
    m_context.target->ShowChange(m_parentName, -1);
}

} // namespace mw
