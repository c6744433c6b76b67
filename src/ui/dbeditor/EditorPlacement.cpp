// Window placement of the Database Editor.
#include "EditorPlacement.h"

#include "CDbEditor.h"

#include "platform/ProfileFile.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace mw {
namespace {

// Moves and shrinks rect until it lies inside area.
QRect Inside(QRect rect, const QRect& area)
{
    rect.setWidth(std::min(rect.width(), area.width()));
    rect.setHeight(std::min(rect.height(), area.height()));
    rect.moveLeft(std::clamp(rect.left(), area.left(), area.right() - rect.width() + 1));
    rect.moveTop(std::clamp(rect.top(), area.top(), area.bottom() - rect.height() + 1));
    return rect;
}

const QWidget* MainWindowOf(const QWidget& editor)
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget != &editor && widget->isVisible() && qobject_cast<QMainWindow*>(widget) &&
            !dynamic_cast<CDbEditor*>(widget))
            return widget;
    return nullptr;
}

} // namespace

QRect EditorPlacement(const QRect& remembered, const QRect& main, const QRect& available, const QSize& wanted)
{
    if (remembered.isValid() && available.contains(remembered))
        return remembered;
    QRect rect(QPoint(0, 0), wanted.isValid() ? wanted : QSize(1000, 640));
    if (main.isValid())
    {
        int top = std::max(main.top(), available.top());
        if (main.right() + rect.width() <= available.right())
            rect.moveTopLeft(QPoint(main.right() + 1, top));
        else if (main.left() - rect.width() >= available.left())
            rect.moveTopLeft(QPoint(main.left() - rect.width(), top));
        else
            rect.moveTopLeft(main.topLeft() + QPoint(40, 40));
    }
    else
        rect.moveCenter(available.center());
    return Inside(rect, available);
}

void PlaceEditorWindow(QWidget& editor, const std::string& iniPath)
{
    QRect remembered(ReadProfileInt("Database", "windowLeft", 0, iniPath),
                     ReadProfileInt("Database", "windowTop", 0, iniPath),
                     ReadProfileInt("Database", "windowWidth", 0, iniPath),
                     ReadProfileInt("Database", "windowHeight", 0, iniPath));
    const QWidget* main = MainWindowOf(editor);
    QScreen* screen = main && main->screen() ? main->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect available = screen->availableGeometry();
    // Remembered on another screen: that screen's area counts.
    for (QScreen* other : QGuiApplication::screens())
        if (remembered.isValid() && other->availableGeometry().contains(remembered))
            available = other->availableGeometry();
    QRect frame = EditorPlacement(remembered, main ? main->frameGeometry() : QRect(), available, editor.size());
    // The frame adds its decoration around the client area.
    QSize decoration = editor.frameGeometry().size() - editor.geometry().size();
    editor.resize(frame.size() - decoration);
    editor.move(frame.topLeft());
}

void RememberEditorWindow(const QWidget& editor, const std::string& iniPath)
{
    QRect frame = editor.frameGeometry();
    WriteProfileString("Database", "windowLeft", std::to_string(frame.left()), iniPath);
    WriteProfileString("Database", "windowTop", std::to_string(frame.top()), iniPath);
    WriteProfileString("Database", "windowWidth", std::to_string(frame.width()), iniPath);
    WriteProfileString("Database", "windowHeight", std::to_string(frame.height()), iniPath);
}

} // namespace mw
