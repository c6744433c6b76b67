// The group tree of the Database Editor: the template's groups, the root
// first; selecting a group shows its variables.
#pragma once

#include <QTreeWidget>

#include <string>

namespace mw {

class DbGroup;

class DbTreeView : public QTreeWidget
{
public:
    explicit DbTreeView(QWidget* parent);

    // Rebuilds the tree, keeping the given group selected when it exists
    // (the root otherwise).
    void Show(DbGroup* root, const std::string& selectedGroup);
    // The selected group's name, or empty.
    std::string SelectedGroup() const;
    bool SelectGroup(const std::string& name);
};

} // namespace mw
