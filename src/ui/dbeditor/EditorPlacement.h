// Where a Database Editor window opens: where the user left the last one
// when that still lies on a screen, otherwise beside the main window, and
// always whole on the screen's available area.
#pragma once

#include <QRect>

#include <string>

class QWidget;

namespace mw {

// The window's frame rectangle: remembered when it fits inside available,
// else wanted's size next to main (right of it, else left of it, else over
// it), moved and shrunk so that it lies inside available.
QRect EditorPlacement(const QRect& remembered, const QRect& main, const QRect& available, const QSize& wanted);

// Places a new editor window by those rules, with the place kept in the
// settings file; then the window shows.
void PlaceEditorWindow(QWidget& editor, const std::string& iniPath);
// Keeps the window's place and size in the settings file ([Database]).
void RememberEditorWindow(const QWidget& editor, const std::string& iniPath);

} // namespace mw
