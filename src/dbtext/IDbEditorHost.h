// What the Database Editor's document asks of its window: the small dialogs
// it needs and the refresh of the views after a change.
#pragma once

#include <string>
#include <vector>

namespace mw {

class IDbEditorHost
{
public:
    // The template name of a record that has none; false when cancelled.
    virtual bool AskTemplateName(std::string& templateName) = 0;
    // The checklist "Modified files, check to save:"; false when cancelled,
    // else ticked holds one flag per name.
    virtual bool ChooseFilesToSave(const std::vector<std::string>& shortNames, std::vector<bool>& ticked) = 0;
    // The open documents, the mode or the title changed: rebuild the views.
    virtual void DocumentsChanged() = 0;
    // An undo or redo changed the group of that name (empty: the tree);
    // row is the variable row to select, or -1.
    virtual void ShowChange(const std::string& groupName, int row) = 0;

protected:
    ~IDbEditorHost() = default;
};

} // namespace mw
