// Status pictures drawn at run time, so no image files need installing.
#include "StatusImages.h"

#include <QPainter>
#include <QPixmap>

namespace mw {
namespace {

QPixmap Page()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(90, 90, 90));
    painter.setBrush(Qt::white);
    painter.drawRect(2, 1, 10, 13);
    painter.setPen(QColor(170, 170, 170));
    for (int y = 4; y <= 11; y += 3)
        painter.drawLine(4, y, 10, y);
    return pixmap;
}

} // namespace

QIcon PlainFileIcon() { return QIcon(Page()); }

QIcon FolderIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QColor(150, 110, 30));
    painter.setBrush(QColor(240, 200, 90));
    painter.drawRect(1, 3, 6, 3);
    painter.drawRect(1, 5, 14, 9);
    return QIcon(pixmap);
}

QIcon FileStatusIcon(int image, int stateMark, bool conflicted)
{
    QPixmap pixmap = Page();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor dot;
    switch (image)
    {
    case 0:
        dot = QColor(40, 160, 60); // up to date
        break;
    case 1:
        dot = QColor(230, 170, 0); // differs from the server
        break;
    case 2:
        dot = QColor(150, 150, 150); // no local copy
        break;
    case 4:
        dot = QColor(60, 110, 220); // newer than the server
        break;
    default:
        break; // no status: no dot
    }
    if (dot.isValid())
    {
        painter.setPen(Qt::NoPen);
        painter.setBrush(dot);
        painter.drawEllipse(8, 8, 7, 7);
    }
    if (conflicted)
    {
        // In conflict: a red exclamation mark on a white disc where the dot is.
        painter.setPen(QPen(QColor(200, 0, 0), 1));
        painter.setBrush(Qt::white);
        painter.drawEllipse(7, 7, 8, 8);
        painter.setPen(QPen(QColor(200, 0, 0), 2));
        painter.drawLine(11, 8, 11, 11);
        painter.drawPoint(11, 14);
    }
    if (stateMark != 0)
    {
        // A check mark for this user's check-out, a red bar for another user's.
        QPen pen(stateMark == 1 ? QColor(20, 120, 20) : QColor(200, 0, 0), 2);
        painter.setPen(pen);
        if (stateMark == 1)
        {
            painter.drawLine(0, 4, 3, 7);
            painter.drawLine(3, 7, 7, 0);
        }
        else
        {
            painter.setBrush(QColor(200, 0, 0));
            painter.drawRect(0, 0, 5, 5);
        }
    }
    return QIcon(pixmap);
}

} // namespace mw
