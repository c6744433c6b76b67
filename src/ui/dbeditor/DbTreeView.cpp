// The group tree.
#include "DbTreeView.h"

#include "dbtext/DbGroup.h"
#include "dbtext/DbVariable.h"

#include <QBrush>
#include <QColor>

namespace mw {
namespace {

void AddChildren(QTreeWidgetItem* item, const DbGroup& group)
{
    for (const auto& subgroup : group.subgroups)
    {
        auto* child = new QTreeWidgetItem(item, QStringList(QString::fromStdString(subgroup->name)));
        child->setToolTip(0, QString::fromStdString(subgroup->sourceFile.empty()
                                                        ? "Type: " + subgroup->type
                                                        : "Type: " + subgroup->type + "\nFrom: " + subgroup->sourceFile));
        if (!subgroup->sourceFile.empty())
            child->setForeground(0, QBrush(QColor(40, 70, 150)));
        AddChildren(child, *subgroup);
    }
}

// The first group, depth-first from root, that holds a value the user sets:
// where a window opens, rather than on a top group that holds only an
// include or the static class.
const DbGroup* FirstGroupWithValues(const DbGroup& group)
{
    for (const auto& variable : group.variables)
        if (!variable->IsDirective() && variable->varClass != "static")
            return &group;
    for (const auto& subgroup : group.subgroups)
        if (const DbGroup* found = FirstGroupWithValues(*subgroup))
            return found;
    return nullptr;
}

} // namespace

DbTreeView::DbTreeView(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void DbTreeView::Show(DbGroup* root, const std::string& selectedGroup)
{
    blockSignals(true);
    clear();
    if (root)
    {
        auto* top = new QTreeWidgetItem(this, QStringList(QString::fromStdString(root->name)));
        AddChildren(top, *root);
        expandAll();
    }
    blockSignals(false);
    if (SelectGroup(selectedGroup) || topLevelItemCount() == 0)
        return;
    const DbGroup* first = root ? FirstGroupWithValues(*root) : nullptr;
    if (first && first != root && SelectGroup(first->name))
        return;
    setCurrentItem(topLevelItem(0));
}

std::string DbTreeView::SelectedGroup() const
{
    QTreeWidgetItem* item = currentItem();
    return item ? item->text(0).toStdString() : std::string();
}

bool DbTreeView::SelectGroup(const std::string& name)
{
    if (name.empty())
        return false;
    QList<QTreeWidgetItem*> found =
        findItems(QString::fromStdString(name), Qt::MatchExactly | Qt::MatchRecursive | Qt::MatchCaseSensitive);
    if (found.isEmpty())
        return false;
    setCurrentItem(found.front());
    return true;
}

} // namespace mw
