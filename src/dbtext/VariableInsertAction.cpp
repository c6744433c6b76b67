// Variable insertions and deletions.
#include "VariableInsertAction.h"

#include "DbTemplate.h"
#include "IUndoTarget.h"
#include "TemplateEditing.h"

namespace mw {

VariableInsertAction::VariableInsertAction(const std::string& templateShortName, int index, std::string groupName,
                                           DbVariable variable)
    : UndoAction(templateShortName), m_index(index), m_groupName(std::move(groupName)), m_variable(std::move(variable))
{
}

// Inserted in place (not through AddVariable, which would merge it into a
// variable of the same name elsewhere).
void VariableInsertAction::Insert()
{
    if (!m_context.target)
        return;
    DbGroup* group = FindGroupByName(m_context.target->EditedTemplate(), m_groupName);
    if (!group)
        return;
    size_t index = std::min(size_t(std::max(m_index, 0)), group->variables.size());
    group->variables.insert(group->variables.begin() + long(index), std::make_unique<DbVariable>(m_variable));
    m_context.target->ShowChange(m_groupName, int(index));
}

void VariableInsertAction::Remove()
{
    if (!m_context.target)
        return;
    DbGroup* group = FindGroupByName(m_context.target->EditedTemplate(), m_groupName);
    if (!group || m_index < 0 || size_t(m_index) >= group->variables.size())
        return;
    group->variables.erase(group->variables.begin() + m_index);
    int row = group->variables.empty() ? -1 : std::min(m_index, int(group->variables.size()) - 1);
    m_context.target->ShowChange(m_groupName, row);
}

} // namespace mw
