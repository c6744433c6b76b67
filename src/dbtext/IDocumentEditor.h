// What a document asks of the Database Editor window that shows it: whether
// its undo history holds undoable actions for the document, and that the
// document was saved (so the history can forget them).
#pragma once

#include <string>

namespace mw {

class IDocumentEditor
{
public:
    // By the document's short name: an editor of records answers for that
    // record's actions, an editor of a template for any action.
    virtual bool HasUndoableActions(const std::string& shortName) const = 0;
    virtual void DocumentSaved(const std::string& shortName) = 0;

protected:
    ~IDocumentEditor() = default;
};

} // namespace mw
