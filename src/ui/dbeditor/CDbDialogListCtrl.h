// The variable list's table: in-place editing with the cell delegate, a
// single selected row, and a context menu of the row commands.
#pragma once

#include <QTableView>

namespace mw {

class CDbDialogListCtrl : public QTableView
{
public:
    explicit CDbDialogListCtrl(QWidget* parent);

    // The selected row, or -1.
    int SelectedRow() const;
    void SelectRow(int row);
    // The column last clicked or edited, or -1.
    int CurrentColumn() const;
    // Ends an in-place edit, handing its text to the model.
    void CommitEdit();
};

} // namespace mw
