// The Modwright tool. With -quiet it syncs and builds once without a window;
// otherwise it opens the main window (when built with the windows).
#include "app/AppVersion.h"
#include "app/CModwrightApp.h"
#include "app/ConsolePrompt.h"
#include "app/StandardOutputCheck.h"
#ifdef MW_WITH_GUI
#include "ui/WindowedStartup.h"
#endif

#include <algorithm>
#include <iostream>

namespace {

const char* const kUsage =
    "usage: modwright [-quiet] [-explain] [-ini PATH] [-network -username NAME -database URL]\n"
    "\n"
    "  -quiet      sync and build the current mod without a window, then exit\n"
    "              (status 0 only when everything succeeded)\n"
    "  -explain    with -quiet: log why each asset or record is rebuilt\n"
    "  -ini PATH   the settings file (default: Tools.ini in the documents folder's\n"
    "              My Games/Verdanis - Sunward/)\n"
    "  -network    put every change through the Subversion server -database names,\n"
    "              as the user -username names\n"
    "  --version   print the version and exit\n"
    "\n"
    "Without -quiet the main window opens.\n";

int RunQuietMode(const std::vector<std::string>& arguments)
{
    mw::ConsolePrompt prompt(std::cout);
    mw::AppEnvironment environment = mw::ProcessEnvironment(std::cout, prompt);
    mw::CModwrightApp app(environment);
    int status = 1;
    if (app.InitInstance(arguments))
        status = app.RunQuiet();
    app.ExitInstance();
    // A log that never arrived (a full disk, /dev/full) is a failure, as for ls or git.
    std::string reason;
    if (mw::StandardOutputFailed(std::cout, reason))
    {
        std::cerr << "modwright: error writing to standard output: " << reason << std::endl;
        return status == 0 ? 1 : status;
    }
    return status;
}

bool Has(const std::vector<std::string>& arguments, const char* name)
{
    return std::find(arguments.begin(), arguments.end(), name) != arguments.end();
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (Has(arguments, "--help") || Has(arguments, "-h"))
    {
        std::cout << "modwright " << mw::AppVersion() << "\n\n" << kUsage;
        return 0;
    }
    if (Has(arguments, "--version"))
    {
        std::cout << "modwright " << mw::AppVersion() << "\n";
        return 0;
    }
    // Quiet mode never creates a window system connection.
    if (Has(arguments, "-quiet"))
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
