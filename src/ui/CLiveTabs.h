// What keeps the tabs live: the preview pane beside the Sources and Assets
// lists, the Assets list's thumbnail switch, and the disk watcher that
// refreshes a tab when its files change outside the tool.
#pragma once

#include <QObject>

#include <functional>
#include <string>

class QAction;

namespace mw {

class CDiskWatcher;
class CFileView;
class CModwrightApp;
class CTexturePreview;
class CThumbnailSwitch;

class CLiveTabs : public QObject
{
    Q_OBJECT
public:
    // views: the Sources, Assets and Database tabs; busy() is true while an
    // operation runs on the worker thread.
    CLiveTabs(CModwrightApp& app, CFileView* const (&views)[3], std::function<bool()> busy, QObject* parent);

    // The checkable "Thumbnails" item of the View menu.
    QAction* ThumbnailAction() const { return m_thumbnailAction; }
    CTexturePreview& Preview(int tab) const { return *m_previews[tab]; }
    CThumbnailSwitch& Thumbnails() const { return *m_thumbnails; }
    CDiskWatcher& Watcher() const { return *m_watcher; }

private:
    void OnSelectionChanged(int tab);
    void WatchTab(int tab);

    CModwrightApp& m_app;
    CFileView* m_views[3];
    std::function<bool()> m_busy;
    CTexturePreview* m_previews[2] = {};
    CThumbnailSwitch* m_thumbnails = nullptr;
    CDiskWatcher* m_watcher = nullptr;
    QAction* m_thumbnailAction = nullptr;
};

} // namespace mw
