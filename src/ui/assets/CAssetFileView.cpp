// The asset file list's column, menu and commands.
#include "CAssetFileView.h"

#include "CAssetStatusDialog.h"
#include "CSelectAssetTypeDialog.h"
#include "app/CModwrightApp.h"
#include "assets/Asset.h"
#include "assets/AssetCommands.h"
#include "assets/AssetReader.h"
#include "assets/AssetRegistry.h"
#include "assets/BuildDriver.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QStyle>
#include <QTreeWidget>

namespace mw {
namespace {

// The review header of an asset file, or false for a file that is not one.
bool ReadReviewHeader(const std::string& path, AssetHeader& header)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return false;
    AssetReader reader(bytes);
    uint32_t typeKey = 0;
    return AssetRegistry::ReadAssetHeader(reader, typeKey, header);
}

} // namespace

CAssetFileView::CAssetFileView(CModwrightApp& app, QWidget* dialogParent, StartWorker startWorker)
    : m_app(app), m_dialogParent(dialogParent), m_startWorker(std::move(startWorker)),
      m_editor(app.GetSourceDir(), dialogParent)
{
}

void CAssetFileView::SetUpList(QTreeWidget& list)
{
    int columns = list.columnCount();
    if (columns < kStatusColumn + 1)
        list.setColumnCount(kStatusColumn + 1);
    QTreeWidgetItem* header = list.headerItem();
    header->setText(kStatusColumn, QStringLiteral("Status"));
    list.header()->resizeSection(kStatusColumn, 150);
}

void CAssetFileView::DecorateItem(QTreeWidgetItem& item, const std::string& relativePath)
{
    AssetHeader header;
    if (!ReadReviewHeader(m_app.GetWorkingDir() + relativePath, header))
    {
        item.setText(kStatusColumn, QString());
        return;
    }
    item.setText(kStatusColumn, QString::fromLatin1(AssetStatusText(header.status)));
    // An asset sent back for revision to the current user stands out.
    if (header.status == kAssetStatusRevise && header.assignedTo == m_app.SourceControl().GetUserName())
    {
        QFont bold = item.font(0);
        bold.setBold(true);
        for (int column = 0; column <= kStatusColumn; ++column)
        {
            item.setBackground(column, QColor(255, 236, 170));
            item.setFont(column, bold);
        }
        item.setToolTip(kStatusColumn, QStringLiteral("Sent back to you for revision"));
    }
}

void CAssetFileView::AddMenuItems(QMenu& menu, const std::vector<std::string>& selected)
{
    menu.addSeparator();
    QMenu* newMenu = menu.addMenu(QStringLiteral("&New"));
    AssetRegistry& registry = m_app.Assets();
    for (int i = 0; i < registry.TypeCount(); ++i)
        newMenu->addAction(QString::fromStdString(registry.TypeAt(i)->GetName()))->setData(kNewAssetFirst + i);
    newMenu->setEnabled(registry.TypeCount() > 0);
    if (m_app.IsNetwork())
    {
        QAction* status = menu.addAction(QApplication::style()->standardIcon(QStyle::SP_FileDialogInfoView),
                                         QStringLiteral("&Status..."));
        status->setData(kStatusCommand);
        status->setEnabled(!selected.empty());
    }
    QAction* build = menu.addAction(QStringLiteral("&Build"));
    build->setData(kBuildCommand);
    build->setEnabled(!selected.empty());
}

bool CAssetFileView::HandlesCommand(int id) const
{
    return id == kBuildCommand || id == kStatusCommand ||
           (id >= kNewAssetFirst && id < kNewAssetFirst + m_app.Assets().TypeCount());
}

bool CAssetFileView::Command(int id, const std::string& folder, const std::vector<std::string>& selected)
{
    AssetRegistry& registry = m_app.Assets();
    if (id >= kNewAssetFirst && id < kNewAssetFirst + registry.TypeCount())
    {
        NewAsset(m_app, registry, *this, id - kNewAssetFirst, folder);
        return true;
    }
    if (id == kStatusCommand)
    {
        if (selected.empty())
            return false;
        return EditAssetStatus(m_app, registry, *this, selected.front());
    }
    if (id == kBuildCommand && !selected.empty() && m_startWorker)
    {
        CModwrightApp& app = m_app;
        std::string root = app.GetModPrefix() + "assets/";
        std::vector<std::string> paths = selected;
        m_startWorker("Build", [&app, root, paths] {
            app.BeginOperation();
            int errors = BuildSelectedAssets(app, app.Assets(), app.Builder(), root, paths);
            if (errors > 0)
                app.Log(Format("%d of %zu assets failed to build", errors, paths.size()), true, true);
            app.Log("Done.", true, false);
            app.ResetCancel();
            app.EndOperation();
        });
    }
    return false;
}

bool CAssetFileView::Open(const std::string& relativePath)
{
    // Other files in the assets tree (notes, readme files) open as usual.
    AssetHeader header;
    if (!ReadReviewHeader(m_app.GetWorkingDir() + relativePath, header))
        return false;
    OpenAssetProperties(m_app, m_app.Assets(), *this, relativePath);
    return true;
}

IAssetPropertiesEditor& CAssetFileView::PropertiesEditor()
{
    // The browse buttons follow the mod selected now.
    m_editor.SetSourceRoot(m_app.GetSourceDir());
    return m_editor;
}

bool CAssetFileView::EditStatus(AssetHeader& header, bool readOnly, bool privileged)
{
    CAssetStatusDialog dialog(header, readOnly, privileged, m_dialogParent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    header = dialog.Header();
    return true;
}

int CAssetFileView::ChooseAssetType(const std::vector<std::string>& typeNames)
{
    CSelectAssetTypeDialog dialog(typeNames, m_dialogParent);
    return dialog.exec() == QDialog::Accepted ? dialog.Chosen() : -1;
}

} // namespace mw
