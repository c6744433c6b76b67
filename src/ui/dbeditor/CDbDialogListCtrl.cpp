// The variable list's table.
#include "CDbDialogListCtrl.h"

#include <QHeaderView>

namespace mw {

CDbDialogListCtrl::CDbDialogListCtrl(QWidget* parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::SelectedClicked);
    setAlternatingRowColors(true);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    setWordWrap(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
}

int CDbDialogListCtrl::SelectedRow() const
{
    QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void CDbDialogListCtrl::SelectRow(int row)
{
    if (!model() || row < 0 || row >= model()->rowCount())
    {
        clearSelection();
        return;
    }
    selectRow(row);
    scrollTo(model()->index(row, 0));
}

int CDbDialogListCtrl::CurrentColumn() const
{
    return currentIndex().isValid() ? currentIndex().column() : -1;
}

void CDbDialogListCtrl::CommitEdit()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex()))
    {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

} // namespace mw
