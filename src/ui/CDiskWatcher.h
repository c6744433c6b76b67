// Follows the disk under the tabs: the folders the tabs show are watched, and
// a burst of changes (a build writing hundreds of files, an editor saving
// through a temporary file) becomes one refresh of the tabs concerned, a
// moment after the last change.
#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

class QFileSystemWatcher;
class QTimer;

namespace mw {

class CDiskWatcher : public QObject
{
    Q_OBJECT
public:
    // At most this many folders are watched; deeper trees refresh on F5.
    static constexpr int kMaxWatchedFolders = 2000;

    // refresh(tab) re-reads one tab; canRefresh() is false while the tabs
    // must not change (an operation running, a rename being typed).
    CDiskWatcher(std::function<void(int tab)> refresh, std::function<bool()> canRefresh, QObject* parent = nullptr);

    // The full paths of the folders tab shows (its tree), and of single files
    // whose changes also count for it (the previewed file and its output).
    void WatchTab(int tab, const std::vector<std::string>& folders, const std::vector<std::string>& files = {});
    // Milliseconds of quiet before the refresh.
    void SetDelay(int milliseconds);
    // Tabs waiting for their refresh.
    bool IsPending() const { return !m_pendingTabs.empty(); }

private:
    void OnChanged(const QString& path);
    void OnQuiet();
    void Rewatch();

    struct TabPaths
    {
        QStringList folders;
        QStringList files;
    };

    std::function<void(int)> m_refresh;
    std::function<bool()> m_canRefresh;
    QFileSystemWatcher* m_watcher;
    QTimer* m_timer;
    std::vector<TabPaths> m_tabs;
    std::vector<int> m_pendingTabs;
};

} // namespace mw
