// The right-hand side of the Database Editor: a search field over the
// variable names above the variable list.
#pragma once

#include <QWidget>

class QLineEdit;

namespace mw {

class CDbDialogListCtrl;

class CDataView : public QWidget
{
public:
    explicit CDataView(QWidget* parent);

    CDbDialogListCtrl* List() const { return m_list; }
    QLineEdit* Search() const { return m_search; }

private:
    QLineEdit* m_search;
    CDbDialogListCtrl* m_list;
};

} // namespace mw
