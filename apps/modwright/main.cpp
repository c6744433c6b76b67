// The Modwright tool. With -quiet it syncs and builds once without a window;
// otherwise it opens the main window (when built with the windows).
#include "app/CModwrightApp.h"
#include "app/ConsolePrompt.h"
#ifdef MW_WITH_GUI
#include "ui/WindowedStartup.h"
#endif

#include <algorithm>
#include <iostream>

namespace {

int RunQuietMode(const std::vector<std::string>& arguments)
{
    mw::ConsolePrompt prompt(std::cout);
    mw::AppEnvironment environment = mw::ProcessEnvironment(std::cout, prompt);
    mw::CModwrightApp app(environment);
    if (!app.InitInstance(arguments))
    {
        app.ExitInstance();
        return 1;
    }
    int status = app.RunQuiet();
    app.ExitInstance();
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    // Quiet mode never creates a window system connection.
    if (std::find(arguments.begin(), arguments.end(), "-quiet") != arguments.end())
        return RunQuietMode(arguments);
#ifdef MW_WITH_GUI
    if (!mw::HasDisplay())
    {
        std::cerr << "Modwright found no display to open its window on; run it with -quiet to sync and build "
                     "without one."
                  << std::endl;
        return 2;
    }
    return mw::RunWindowed(argc, argv, arguments);
#else
    std::cerr << "This build of Modwright has no windows; run it with -quiet to sync and build." << std::endl;
    return 2;
#endif
}
