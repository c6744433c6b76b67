// One undoable edit of the Database Editor. Each kind of edit derives its own
// action that knows how to take itself back and to apply itself again.
#pragma once

#include <string>

namespace mw {

class IUndoTarget;

// Handed to every action when it is recorded.
struct UndoContext
{
    IUndoTarget* target = nullptr;
};

class UndoAction
{
public:
    explicit UndoAction(std::string shortName) : m_shortName(std::move(shortName)) {}
    virtual ~UndoAction() = default;
    UndoAction(const UndoAction&) = delete;
    UndoAction& operator=(const UndoAction&) = delete;

    virtual void Undo() = 0;
    virtual void Redo() = 0;
    virtual void SetContext(const UndoContext& context) { m_context = context; }
    // True when the action changed the document of that short name.
    virtual bool IsForFile(const std::string& shortName) const { return m_shortName == shortName; }
    // The document was saved: drop what concerns it. True when nothing of
    // the action is left, so that the history removes it.
    virtual bool ForgetFile(const std::string& shortName) { return IsForFile(shortName); }

    const std::string& ShortName() const { return m_shortName; }

protected:
    UndoContext m_context;

private:
    std::string m_shortName;
};

} // namespace mw
