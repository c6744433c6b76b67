// Record value edits.
#include "RecordValueEditAction.h"

#include "DbRecord.h"
#include "IUndoTarget.h"

namespace mw {

RecordValueEditAction::RecordValueEditAction(const std::string& recordShortName, std::string variableName,
                                             std::string before, std::string after, std::string groupName, int row)
    : UndoAction(recordShortName), m_variableName(std::move(variableName)), m_before(std::move(before)),
      m_after(std::move(after)), m_groupName(std::move(groupName)), m_row(row)
{
}

void RecordValueEditAction::Apply(const std::string& value)
{
    if (!m_context.target)
        return;
    if (DbRecord* record = m_context.target->FindOpenRecord(ShortName()))
        record->SetValue(m_variableName, value);
    m_context.target->ShowChange(m_groupName, m_row);
}

} // namespace mw
