// Wiring of the previews, thumbnails and the disk watcher to the tabs.
#include "CLiveTabs.h"

#include "CDiskWatcher.h"
#include "CFileView.h"
#include "CTexturePreview.h"
#include "CThumbnailSwitch.h"
#include "app/CModwrightApp.h"
#include "assets/preview/AssetPreview.h"

#include <QApplication>
#include <QAction>
#include <QTreeWidget>

namespace mw {

CLiveTabs::CLiveTabs(CModwrightApp& app, CFileView* const (&views)[3], std::function<bool()> busy, QObject* parent)
    : QObject(parent), m_app(app), m_views{views[0], views[1], views[2]}, m_busy(std::move(busy))
{
    auto mayReadAsset = [this] { return !m_busy(); };
    for (int tab = 0; tab < 2; ++tab)
    {
        m_previews[tab] = new CTexturePreview(app, app.Assets(), mayReadAsset);
        m_views[tab]->addWidget(m_previews[tab]);
        m_views[tab]->setStretchFactor(2, 2);
        connect(m_views[tab]->FileList(), &QTreeWidget::itemSelectionChanged, this,
                [this, tab] { OnSelectionChanged(tab); });
    }
    CFileView* assets = m_views[1];
    m_thumbnails = new CThumbnailSwitch(
        *assets->FileList(), app, app.Assets(), [assets](QTreeWidgetItem& item) { return assets->PathOfItem(item); },
        mayReadAsset);
    m_thumbnailAction = new QAction(QStringLiteral("&Thumbnails"), this);
    m_thumbnailAction->setCheckable(true);
    connect(m_thumbnailAction, &QAction::toggled, this, [this](bool on) { m_thumbnails->SetEnabled(on); });

    m_watcher = new CDiskWatcher(
        [this](int tab) {
            m_views[tab]->Refresh();
            if (tab < 2)
                m_previews[tab]->Reload();
        },
        [this] {
            // Not under an operation (its end refreshes the tab anyway), nor
            // while a rename is typed into the list.
            if (m_busy())
                return false;
            // A rename's editor is a child of the list holding the focus.
            QWidget* focus = QApplication::focusWidget();
            for (CFileView* view : m_views)
                if (focus && focus != view->FileList() && view->FileList()->isAncestorOf(focus))
                    return false;
            return true;
        },
        this);
    for (int tab = 0; tab < 3; ++tab)
        connect(m_views[tab], &CFileView::Refreshed, this, [this, tab] { WatchTab(tab); });
}

void CLiveTabs::OnSelectionChanged(int tab)
{
    std::vector<std::string> selected = m_views[tab]->SelectedPaths();
    std::string shown = selected.size() == 1 ? selected.front() : std::string();
    if (shown != m_previews[tab]->ShownFile() || shown.empty())
        m_previews[tab]->ShowFile(shown);
    WatchTab(tab);
}

void CLiveTabs::WatchTab(int tab)
{
    std::string working = m_app.GetWorkingDir();
    std::vector<std::string> folders;
    for (const std::string& folder : m_views[tab]->TreeFolders())
        folders.push_back(working + folder);
    std::vector<std::string> files;
    if (tab < 2 && !m_previews[tab]->ShownFile().empty())
    {
        // The previewed file, and the output a build writes for it.
        const std::string& shown = m_previews[tab]->ShownFile();
        files.push_back(working + shown);
        files.push_back(AssetPreview::BuiltOutputPath(m_app.GetBuildDir(), shown));
    }
    m_watcher->WatchTab(tab, folders, files);
}

} // namespace mw
