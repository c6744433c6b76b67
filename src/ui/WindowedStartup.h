// The windowed program: login dialog and splash in network mode, the main
// window, the first-start options, then the event loop.
#pragma once

#include <string>
#include <vector>

namespace mw {

// True when a window system can be reached (a display, a Wayland socket, or
// a Qt platform chosen explicitly).
bool HasDisplay();

// Runs the windowed program; the process exit status.
int RunWindowed(int& argc, char** argv, const std::vector<std::string>& arguments);

} // namespace mw
