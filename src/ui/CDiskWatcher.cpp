// One watcher for all tabs; changes are gathered per tab and flushed by a
// single-shot timer that every further change restarts.
#include "CDiskWatcher.h"

#include <QFileSystemWatcher>
#include <QSet>
#include <QTimer>

#include <algorithm>

namespace mw {
namespace {

QString Clean(const std::string& path)
{
    QString text = QString::fromUtf8(path);
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (text.size() > 1 && text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return text;
}

} // namespace

CDiskWatcher::CDiskWatcher(std::function<void(int)> refresh, std::function<bool()> canRefresh, QObject* parent)
    : QObject(parent), m_refresh(std::move(refresh)), m_canRefresh(std::move(canRefresh)),
      m_watcher(new QFileSystemWatcher(this)), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(300);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &CDiskWatcher::OnChanged);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &CDiskWatcher::OnChanged);
    connect(m_timer, &QTimer::timeout, this, &CDiskWatcher::OnQuiet);
}

void CDiskWatcher::SetDelay(int milliseconds) { m_timer->setInterval(milliseconds); }

void CDiskWatcher::WatchTab(int tab, const std::vector<std::string>& folders, const std::vector<std::string>& files)
{
    if (tab < 0)
        return;
    if (size_t(tab) >= m_tabs.size())
        m_tabs.resize(size_t(tab) + 1);
    TabPaths paths;
    for (const std::string& folder : folders)
        paths.folders.push_back(Clean(folder));
    for (const std::string& file : files)
        if (!file.empty())
            paths.files.push_back(Clean(file));
    m_tabs[size_t(tab)] = paths;
    Rewatch();
}

void CDiskWatcher::Rewatch()
{
    QSet<QString> wanted;
    int folders = 0;
    for (const TabPaths& tab : m_tabs)
    {
        for (const QString& folder : tab.folders)
            if (folders < kMaxWatchedFolders && !wanted.contains(folder))
            {
                wanted.insert(folder);
                ++folders;
            }
        for (const QString& file : tab.files)
            wanted.insert(file);
    }
    QStringList watched = m_watcher->directories() + m_watcher->files();
    QStringList gone;
    for (const QString& path : watched)
        if (!wanted.contains(path))
            gone.push_back(path);
    if (!gone.isEmpty())
        m_watcher->removePaths(gone);
    QStringList added;
    for (const QString& path : wanted)
        if (!watched.contains(path))
            added.push_back(path);
    // Paths that do not exist (an output not built yet) are refused quietly.
    if (!added.isEmpty())
        m_watcher->addPaths(added);
}

void CDiskWatcher::OnChanged(const QString& path)
{
    for (size_t tab = 0; tab < m_tabs.size(); ++tab)
        if (m_tabs[tab].folders.contains(path) || m_tabs[tab].files.contains(path))
            if (std::find(m_pendingTabs.begin(), m_pendingTabs.end(), int(tab)) == m_pendingTabs.end())
                m_pendingTabs.push_back(int(tab));
    // A file replaced by a rename is no longer watched: watch it again.
    Rewatch();
    if (!m_pendingTabs.empty())
        m_timer->start();
}

void CDiskWatcher::OnQuiet()
{
    if (m_canRefresh && !m_canRefresh())
    {
        m_timer->start();
        return;
    }
    std::vector<int> tabs;
    tabs.swap(m_pendingTabs);
    for (int tab : tabs)
        m_refresh(tab);
}

} // namespace mw
