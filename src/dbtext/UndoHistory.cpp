// The undo history.
#include "UndoHistory.h"

namespace mw {

void UndoHistory::Record(std::unique_ptr<UndoAction> action)
{
    while (int(m_actions.size()) > m_current + 1)
        m_actions.pop_back();
    action->SetContext(m_context);
    m_actions.push_back(std::move(action));
    m_current = int(m_actions.size()) - 1;
}

void UndoHistory::Undo()
{
    if (m_actions.empty() || m_current < 0)
        return;
    m_actions[size_t(m_current)]->Undo();
    --m_current;
}

void UndoHistory::Redo()
{
    if (!CanRedo())
        return;
    ++m_current;
    m_actions[size_t(m_current)]->Redo();
}

void UndoHistory::Clear()
{
    while (!m_actions.empty())
        m_actions.pop_back();
    m_current = -1;
}

void UndoHistory::ForgetFile(const std::string& shortName)
{
    // An action that changed several documents keeps the parts of the others.
    int removedInEffect = 0;
    std::vector<std::unique_ptr<UndoAction>> kept;
    for (size_t i = 0; i < m_actions.size(); ++i)
    {
        if (!m_actions[i]->IsForFile(shortName) || !m_actions[i]->ForgetFile(shortName))
            kept.push_back(std::move(m_actions[i]));
        else if (int(i) <= m_current)
            ++removedInEffect;
    }
    m_actions = std::move(kept);
    m_current -= removedInEffect;
}

bool UndoHistory::HasActionsFor(const std::string& shortName) const
{
    if (shortName.empty())
        return !m_actions.empty() && m_current != -1;
    for (int i = 0; i <= m_current; ++i)
        if (m_actions[size_t(i)]->IsForFile(shortName))
            return true;
    return false;
}

} // namespace mw
