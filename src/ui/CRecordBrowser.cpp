// The record browser of Import record.
#include "CRecordBrowser.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace mw {

CRecordBrowser::CRecordBrowser(const std::vector<std::string>& recordNames, QWidget* parent)
    : QDialog(parent), m_filter(new QLineEdit), m_list(new QListWidget)
{
    setWindowTitle(QStringLiteral("Import Record"));
    m_filter->setPlaceholderText(QStringLiteral("Filter, e.g. items\\sword"));
    m_list->setUniformItemSizes(true);
    for (const std::string& name : recordNames)
        m_list->addItem(QString::fromUtf8(name));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    connect(m_list, &QListWidget::currentRowChanged, this, [this, ok] {
        ok->setEnabled(m_list->currentItem() && !m_list->currentItem()->isHidden());
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_filter, &QLineEdit::textChanged, this, &CRecordBrowser::ApplyFilter);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_list, 1);
    layout->addWidget(new QLabel(QStringLiteral("%1 records in the built database archives").arg(m_list->count())));
    layout->addWidget(buttons);
    resize(520, 480);
}

void CRecordBrowser::ApplyFilter(const QString& text)
{
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setHidden(!m_list->item(i)->text().contains(text, Qt::CaseInsensitive));
}

std::string CRecordBrowser::ChosenRecord() const
{
    QListWidgetItem* item = m_list->currentItem();
    return item && !item->isHidden() ? item->text().toStdString() : std::string();
}

} // namespace mw
