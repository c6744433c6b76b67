// The windowed login loop.
#include "WindowedLogin.h"

#include "CModwrightApp.h"
#include "platform/ProfileFile.h"

namespace mw {

bool LogInWindowed(CModwrightApp& app, ILoginWindow& window)
{
    // Names given on the command line win over the saved ones.
    std::string userName = app.GetUserName();
    std::string server = app.GetDatabase();
    if (userName.empty())
        userName = ReadProfileString("Login", "username", "", app.GetIniPath());
    if (server.empty())
        server = ReadProfileString("Login", "database", "", app.GetIniPath());
    for (;;)
    {
        if (!window.AskLogin(userName, server))
            return false;
        if (app.GetSplashEnable() != 0)
            window.ShowSplash();
        app.SetLogin(userName, server);
        if (app.Reconnect(server, userName))
            return true;
        window.CloseSplash();
    }
}

} // namespace mw
