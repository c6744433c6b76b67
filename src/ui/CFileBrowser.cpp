// The archive browser.
#include "CFileBrowser.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace mw {

CFileBrowser::CFileBrowser(const BrowseFolders& folders, const std::string& modName, const std::string& extensions,
                           QWidget* parent)
    : QDialog(parent), m_files(ListBrowsableFiles(folders, modName, extensions)), m_filter(new QLineEdit),
      m_list(new QListWidget)
{
    setWindowTitle(QStringLiteral("Browse Game Files"));
    auto* layout = new QVBoxLayout(this);
    m_filter->setPlaceholderText(QStringLiteral("Type part of a name to narrow the list"));
    m_filter->setClearButtonEnabled(true);
    layout->addWidget(m_filter);
    for (size_t i = 0; i < m_files.size(); ++i)
    {
        auto* item = new QListWidgetItem(QString::fromStdString(m_files[i].Shown()));
        item->setData(Qt::UserRole, int(i));
        item->setToolTip(QString::fromStdString(m_files[i].archive));
        m_list->addItem(item);
    }
    layout->addWidget(m_list, 1);
    auto* count = new QLabel(m_files.empty() ? QStringLiteral("No built archive holds files of this kind yet.")
                                             : QStringLiteral("%1 files").arg(m_files.size()));
    layout->addWidget(count);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::currentItemChanged, this,
            [ok](QListWidgetItem* current) { ok->setEnabled(current && !current->isHidden()); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_filter, &QLineEdit::textChanged, this, &CFileBrowser::ApplyFilter);
    layout->addWidget(buttons);
    resize(560, 480);
}

void CFileBrowser::ApplyFilter(const QString& text)
{
    for (int i = 0; i < m_list->count(); ++i)
    {
        QListWidgetItem* item = m_list->item(i);
        item->setHidden(!text.isEmpty() && !item->text().contains(text, Qt::CaseInsensitive));
    }
}

std::string CFileBrowser::ChosenName() const
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item || item->isHidden())
        return std::string();
    return m_files[size_t(item->data(Qt::UserRole).toInt())].name;
}

std::string CFileBrowser::ChosenGamePath() const
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item || item->isHidden())
        return std::string();
    return m_files[size_t(item->data(Qt::UserRole).toInt())].GamePath();
}

std::string CFileBrowser::ChosenArchive() const
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item || item->isHidden())
        return std::string();
    return m_files[size_t(item->data(Qt::UserRole).toInt())].archive;
}

} // namespace mw
