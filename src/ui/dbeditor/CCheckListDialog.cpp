// The checklist dialog.
#include "CCheckListDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace mw {

CCheckListDialog::CCheckListDialog(const QString& title, const QString& heading, const std::vector<std::string>& names,
                                   QWidget* parent)
    : QDialog(parent), m_list(new QListWidget(this))
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(heading, this));
    for (const std::string& name : names)
    {
        auto* item = new QListWidgetItem(QString::fromStdString(name), m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::vector<bool> CCheckListDialog::Ticked() const
{
    std::vector<bool> ticked;
    for (int i = 0; i < m_list->count(); ++i)
        ticked.push_back(m_list->item(i)->checkState() == Qt::Checked);
    return ticked;
}

} // namespace mw
