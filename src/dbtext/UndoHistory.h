// The Database Editor's undo history: an ordered list of actions and the
// index of the last one in effect (-1 when none is).
#pragma once

#include "UndoAction.h"

#include <memory>
#include <string>
#include <vector>

namespace mw {

class UndoHistory
{
public:
    // Drops the undone actions after the current index, then appends.
    void Record(std::unique_ptr<UndoAction> action);
    void Undo();
    void Redo();
    void Clear();
    // Removes every action for the document, moving the current index back
    // by the number of those that were in effect.
    void ForgetFile(const std::string& shortName);
    // Empty name: whether any action is in effect; otherwise whether an
    // action in effect is for that document.
    bool HasActionsFor(const std::string& shortName) const;
    void SetContext(const UndoContext& context) { m_context = context; }

    bool CanUndo() const { return !m_actions.empty() && m_current >= 0; }
    bool CanRedo() const { return m_current + 1 < int(m_actions.size()); }
    size_t Count() const { return m_actions.size(); }
    int CurrentIndex() const { return m_current; }

private:
    std::vector<std::unique_ptr<UndoAction>> m_actions;
    int m_current = -1;
    UndoContext m_context;
};

} // namespace mw
