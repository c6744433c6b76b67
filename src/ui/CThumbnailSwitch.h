// The thumbnail view of a tab's file list: when switched on, each texture,
// bitmap, cube map, font and Targa file shows a small picture instead of its
// file icon, read a few rows at a time so a large folder stays responsive.
#pragma once

#include <QObject>

#include <functional>
#include <vector>

class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace mw {

class AssetRegistry;
class IWorkspaceContext;

class CThumbnailSwitch : public QObject
{
    Q_OBJECT
public:
    static constexpr int kThumbnailSide = 64;

    // pathOfItem gives a row's path relative to the working folder;
    // mayReadAsset as for the preview pane.
    CThumbnailSwitch(QTreeWidget& list, IWorkspaceContext& context, const AssetRegistry& registry,
                     std::function<std::string(QTreeWidgetItem&)> pathOfItem, std::function<bool()> mayReadAsset);

    void SetEnabled(bool enabled);
    bool IsEnabled() const { return m_enabled; }
    // True once every row of the list has had its thumbnail read.
    bool IsDone() const { return m_pending.empty(); }
    // Reads every pending thumbnail now.
    void Finish();

private:
    void QueueAll();
    void ReadSome();

    QTreeWidget& m_list;
    IWorkspaceContext& m_context;
    const AssetRegistry& m_registry;
    std::function<std::string(QTreeWidgetItem&)> m_pathOfItem;
    std::function<bool()> m_mayReadAsset;
    bool m_enabled = false;
    int m_normalIconSide = 16;
    std::vector<QTreeWidgetItem*> m_pending;
    QTimer* m_timer;
};

} // namespace mw
