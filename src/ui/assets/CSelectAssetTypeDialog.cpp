// The asset type choice.
#include "CSelectAssetTypeDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace mw {

CSelectAssetTypeDialog::CSelectAssetTypeDialog(const std::vector<std::string>& typeNames, QWidget* parent)
    : QDialog(parent), m_list(new QListWidget)
{
    setWindowTitle(QStringLiteral("Select Asset Type"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Several asset types can be made from this file. Choose one:")));
    for (const std::string& name : typeNames)
        m_list->addItem(QString::fromStdString(name));
    m_list->setCurrentRow(0);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_list, &QListWidget::currentRowChanged, this,
            [buttons](int row) { buttons->button(QDialogButtonBox::Ok)->setEnabled(row >= 0); });
    layout->addWidget(buttons);
}

int CSelectAssetTypeDialog::Chosen() const { return m_list->currentRow(); }

} // namespace mw
