// Value edits of several records as one undo step.
#include "MultipleValueEditAction.h"

#include <algorithm>

namespace mw {

MultipleValueEditAction::MultipleValueEditAction(std::vector<std::unique_ptr<RecordValueEditAction>> parts)
    : UndoAction(parts.empty() ? std::string() : parts.front()->ShortName()), m_parts(std::move(parts))
{
}

void MultipleValueEditAction::Undo()
{
    for (auto part = m_parts.rbegin(); part != m_parts.rend(); ++part)
        (*part)->Undo();
}

void MultipleValueEditAction::Redo()
{
    for (auto& part : m_parts)
        part->Redo();
}

void MultipleValueEditAction::SetContext(const UndoContext& context)
{
    UndoAction::SetContext(context);
    for (auto& part : m_parts)
        part->SetContext(context);
}

bool MultipleValueEditAction::IsForFile(const std::string& shortName) const
{
    return std::any_of(m_parts.begin(), m_parts.end(), [&](const auto& part) { return part->IsForFile(shortName); });
}

bool MultipleValueEditAction::ForgetFile(const std::string& shortName)
{
    std::erase_if(m_parts, [&](const auto& part) { return part->IsForFile(shortName); });
    return m_parts.empty();
}

} // namespace mw
