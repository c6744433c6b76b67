// The login of a windowed network start: the login dialog is shown until a
// connection succeeds or the user cancels, with the splash window shown
// during each attempt.
#pragma once

#include <string>

namespace mw {

class CModwrightApp;

class ILoginWindow
{
public:
    // Shows the login dialog with the fields filled; false when cancelled.
    virtual bool AskLogin(std::string& userName, std::string& server) = 0;
    virtual void ShowSplash() = 0;
    virtual void CloseSplash() = 0;

protected:
    ~ILoginWindow() = default;
};

// False when the user cancelled: start-up then fails. A failed connection
// shows "Couldn't connect to server." and asks again.
bool LogInWindowed(CModwrightApp& app, ILoginWindow& window);

} // namespace mw
