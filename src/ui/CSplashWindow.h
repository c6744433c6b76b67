// The splash window shown while network mode logs in: borderless, centred
// on the screen, closed 800 ms after the main window is up.
#pragma once

#include <QWidget>

namespace mw {

class CSplashWindow : public QWidget
{
    Q_OBJECT
public:
    explicit CSplashWindow(QWidget* parent = nullptr);

    // Starts the one-shot timer after which the window closes.
    void CloseLater();

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace mw
