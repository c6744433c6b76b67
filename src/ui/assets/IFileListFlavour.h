// What a tab's file list asks of the flavour that gives it the commands of
// its kind of file (the asset list's status column and asset commands, the
// source list's asset creation). The generic view calls these hooks.
#pragma once

#include <string>
#include <vector>

class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

namespace mw {

class IFileListFlavour
{
public:
    // Adds the flavour's columns once, when it is attached.
    virtual void SetUpList(QTreeWidget& list) = 0;
    // Fills the flavour's columns of one row; relativePath is relative to
    // the working folder.
    virtual void DecorateItem(QTreeWidgetItem& item, const std::string& relativePath) = 0;
    // Adds items to the file list's context menu; each action's data is its
    // command id, which comes back through Command.
    virtual void AddMenuItems(QMenu& menu, const std::vector<std::string>& selected) = 0;
    virtual bool HandlesCommand(int id) const = 0;
    // Carries out a command; true when the list should be read again.
    virtual bool Command(int id, const std::string& folder, const std::vector<std::string>& selected) = 0;
    // Opens a file its own way; false leaves it to the view's opener.
    virtual bool Open(const std::string& relativePath) = 0;

protected:
    ~IFileListFlavour() = default;
};

} // namespace mw
