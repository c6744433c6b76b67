// Thumbnails are queued when rows arrive and read on a zero-time timer.
#include "CThumbnailSwitch.h"

#include "CTexturePreview.h"
#include "assets/preview/AssetPreview.h"

#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

namespace mw {

CThumbnailSwitch::CThumbnailSwitch(QTreeWidget& list, IWorkspaceContext& context, const AssetRegistry& registry,
                                   std::function<std::string(QTreeWidgetItem&)> pathOfItem,
                                   std::function<bool()> mayReadAsset)
    : QObject(&list), m_list(list), m_context(context), m_registry(registry), m_pathOfItem(std::move(pathOfItem)),
      m_mayReadAsset(std::move(mayReadAsset)), m_timer(new QTimer(this))
{
    m_normalIconSide = list.iconSize().isValid() ? list.iconSize().height() : 16;
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &CThumbnailSwitch::ReadSome);
    // A refill of the list brings new rows; their thumbnails are read again.
    connect(list.model(), &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_enabled)
            QueueAll();
    });
    connect(list.model(), &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_pending.clear(); });
    connect(list.model(), &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { m_pending.clear(); });
}

void CThumbnailSwitch::SetEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    int side = enabled ? kThumbnailSide : m_normalIconSide;
    m_list.setIconSize(QSize(side, side));
    m_list.setUniformRowHeights(!enabled);
    if (enabled)
        QueueAll();
    else
        m_pending.clear();
}

void CThumbnailSwitch::QueueAll()
{
    m_pending.clear();
    for (int i = m_list.topLevelItemCount() - 1; i >= 0; --i)
        m_pending.push_back(m_list.topLevelItem(i));
    m_timer->start();
}

void CThumbnailSwitch::ReadSome()
{
    for (int read = 0; read < 4 && !m_pending.empty(); ++read)
    {
        QTreeWidgetItem* item = m_pending.back();
        m_pending.pop_back();
        AssetPreview preview;
        if (!preview.Load(m_context, m_registry, m_pathOfItem(*item), m_mayReadAsset && m_mayReadAsset()))
            continue;
        PreviewImage picture;
        if (!preview.Picture(0, preview.LevelForSide(kThumbnailSide), picture))
            continue;
        QImage thumbnail = CTexturePreview::OnCheckerboard(CTexturePreview::ToQImage(picture), kThumbnailSide);
        item->setIcon(0, QIcon(QPixmap::fromImage(thumbnail)));
    }
    if (m_pending.empty())
        m_timer->stop();
}

void CThumbnailSwitch::Finish()
{
    while (!m_pending.empty())
        ReadSome();
}

} // namespace mw
