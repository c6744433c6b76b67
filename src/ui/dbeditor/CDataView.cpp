// The variable list with its search field.
#include "CDataView.h"

#include "CDbDialogListCtrl.h"

#include <QLineEdit>
#include <QVBoxLayout>

namespace mw {

CDataView::CDataView(QWidget* parent) : QWidget(parent), m_search(new QLineEdit(this)), m_list(new CDbDialogListCtrl(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    m_search->setPlaceholderText("Find variable by name (all groups)");
    m_search->setClearButtonEnabled(true);
    layout->addWidget(m_search);
    layout->addWidget(m_list, 1);
}

} // namespace mw
