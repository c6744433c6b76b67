// The splash window.
#include "CSplashWindow.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace mw {

CSplashWindow::CSplashWindow(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    resize(420, 220);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void CSplashWindow::CloseLater() { QTimer::singleShot(800, this, &QWidget::close); }

void CSplashWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient background(0, 0, 0, height());
    background.setColorAt(0, QColor(38, 52, 78));
    background.setColorAt(1, QColor(14, 20, 32));
    painter.fillRect(rect(), background);
    painter.setPen(QColor(230, 200, 120));
    QFont title = font();
    title.setPointSize(28);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(rect().adjusted(0, 0, 0, -40), Qt::AlignCenter, QStringLiteral("Modwright"));
    QFont line = font();
    line.setPointSize(10);
    painter.setFont(line);
    painter.setPen(QColor(200, 200, 210));
    painter.drawText(rect().adjusted(0, 80, 0, 0), Qt::AlignCenter, QStringLiteral("Connecting to the server..."));
}

} // namespace mw
