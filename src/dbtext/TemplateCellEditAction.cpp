// Template cell edits.
#include "TemplateCellEditAction.h"

#include "DbTemplate.h"
#include "IUndoTarget.h"
#include "TemplateEditing.h"

namespace mw {

TemplateCellEditAction::TemplateCellEditAction(const std::string& templateShortName, int row, int column,
                                               DbVariable before, DbVariable after, std::string groupName)
    : UndoAction(templateShortName), m_row(row), m_column(column), m_before(std::move(before)),
      m_after(std::move(after)), m_groupName(std::move(groupName))
{
}

void TemplateCellEditAction::Apply(const DbVariable& state)
{
    if (!m_context.target)
        return;
    DbGroup* group = FindGroupByName(m_context.target->EditedTemplate(), m_groupName);
    if (!group || m_row < 0 || size_t(m_row) >= group->variables.size())
        return;
    group->variables[size_t(m_row)]->CopyFrom(state);
    m_context.target->ShowChange(m_groupName, m_row);
}

} // namespace mw
