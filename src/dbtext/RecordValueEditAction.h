// Undo action of one value typed into a record's cell.
#pragma once

#include "UndoAction.h"

namespace mw {

class RecordValueEditAction : public UndoAction
{
public:
    RecordValueEditAction(const std::string& recordShortName, std::string variableName, std::string before,
                          std::string after, std::string groupName, int row);

    void Undo() override { Apply(m_before); }
    void Redo() override { Apply(m_after); }

private:
    void Apply(const std::string& value);

    std::string m_variableName;
    std::string m_before;
    std::string m_after;
    std::string m_groupName;
    int m_row;
};

} // namespace mw
