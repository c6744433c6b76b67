// One edit that changed a variable's value in several records at once (the
// multiple-value editor's OK): undone and redone as one step.
#pragma once

#include "RecordValueEditAction.h"

#include <memory>
#include <vector>

namespace mw {

class MultipleValueEditAction : public UndoAction
{
public:
    explicit MultipleValueEditAction(std::vector<std::unique_ptr<RecordValueEditAction>> parts);

    void Undo() override;
    void Redo() override;
    void SetContext(const UndoContext& context) override;
    bool IsForFile(const std::string& shortName) const override;
    // A saved record's part is dropped; the action goes when no part is left.
    bool ForgetFile(const std::string& shortName) override;

private:
    std::vector<std::unique_ptr<RecordValueEditAction>> m_parts;
};

} // namespace mw
