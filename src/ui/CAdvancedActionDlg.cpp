// The advanced folder dialog.
#include "CAdvancedActionDlg.h"

#include "StatusImages.h"
#include "app/AdvancedActions.h"
#include "app/CModwrightApp.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mw {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kMaxDepth = 64;

} // namespace

CAdvancedActionDlg::CAdvancedActionDlg(CModwrightApp& app, const std::string& startFolder, QWidget* parent)
    : QDialog(parent), m_app(app), m_action(new QComboBox), m_mask(new QLineEdit(QStringLiteral("*.*"))),
      m_folders(new QTreeWidget), m_unversioned(new QListWidget)
{
    setWindowTitle(QStringLiteral("Advanced"));
    m_action->addItems({QStringLiteral("Check Out"), QStringLiteral("Check In"), QStringLiteral("Revert")});
    m_folders->setHeaderHidden(true);
    m_unversioned->setSelectionMode(QAbstractItemView::ExtendedSelection);

    auto* root = new QTreeWidgetItem(m_folders, {QStringLiteral("(client folder)")});
    root->setData(0, kPathRole, QString());
    root->setIcon(0, FolderIcon());
    AddFolders(root, "", 0);
    root->setExpanded(true);
    m_folders->setCurrentItem(root);
    for (QTreeWidgetItemIterator it(m_folders); *it; ++it)
        if ((*it)->data(0, kPathRole).toString().toStdString() == startFolder)
        {
            for (QTreeWidgetItem* parentItem = (*it)->parent(); parentItem; parentItem = parentItem->parent())
                parentItem->setExpanded(true);
            m_folders->setCurrentItem(*it);
        }
    connect(m_folders, &QTreeWidget::currentItemChanged, this, &CAdvancedActionDlg::FillUnversioned);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Action:"), m_action);
    form->addRow(QStringLiteral("File mask:"), m_mask);
    auto* lists = new QSplitter;
    lists->addWidget(m_folders);
    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(new QLabel(QStringLiteral("Files not under source control:")));
    rightLayout->addWidget(m_unversioned, 1);
    auto* add = new QPushButton(QStringLiteral("&Add Selected"));
    rightLayout->addWidget(add);
    lists->addWidget(right);
    connect(add, &QPushButton::clicked, this, &CAdvancedActionDlg::AddSelected);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    QPushButton* run = buttons->addButton(QStringLiteral("&Run"), QDialogButtonBox::AcceptRole);
    connect(run, &QPushButton::clicked, this, &CAdvancedActionDlg::Run);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lists, 1);
    layout->addWidget(buttons);
    resize(640, 420);
    FillUnversioned();
}

void CAdvancedActionDlg::AddFolders(QTreeWidgetItem* parent, const std::string& folder, int depth)
{
    if (depth > kMaxDepth)
        return;
    std::vector<std::string> names;
    m_app.SourceControl().GetFoldersFast(folder, names);
    for (const std::string& name : names)
    {
        std::string path = folder + name + "/";
        auto* item = new QTreeWidgetItem(parent, {QString::fromUtf8(name)});
        item->setData(0, kPathRole, QString::fromUtf8(path));
        item->setIcon(0, FolderIcon());
        AddFolders(item, path, depth + 1);
    }
}

std::string CAdvancedActionDlg::CurrentFolder() const
{
    QTreeWidgetItem* item = m_folders->currentItem();
    return item ? item->data(0, kPathRole).toString().toStdString() : std::string();
}

void CAdvancedActionDlg::FillUnversioned()
{
    m_unversioned->clear();
    for (const std::string& name : FilesNotUnderSourceControl(m_app.SourceControl(), CurrentFolder()))
        m_unversioned->addItem(QString::fromUtf8(name));
}

void CAdvancedActionDlg::AddSelected()
{
    std::vector<std::string> paths;
    std::string folder = CurrentFolder();
    for (QListWidgetItem* item : m_unversioned->selectedItems())
        paths.push_back(folder + item->text().toStdString());
    AddFilesUntilFailure(m_app, paths);
    FillUnversioned();
}

BatchAction CAdvancedActionDlg::Action() const
{
    switch (m_action->currentIndex())
    {
    case 1:
        return BatchAction::CheckIn;
    case 2:
        return BatchAction::Revert;
    default:
        return BatchAction::CheckOut;
    }
}

void CAdvancedActionDlg::Run()
{
    m_chosen = FilesMatchingMask(m_app.SourceControl(), CurrentFolder(), m_mask->text().toStdString());
    accept();
}

} // namespace mw
