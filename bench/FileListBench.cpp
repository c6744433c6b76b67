// Lists a folder of many files in the main window's file list (offscreen):
// the time from choosing the folder to a filled list, in local mode and in
// network mode (one status read per row over the local backend). Listing the
// folder alone, without widgets, is measured as the baseline.
//   bench_file_list [FILES]   (default 1000)
#include "BenchSupport.h"
#include "app/CModwrightApp.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "platform/sourcecontrol/SourceControlClient.h"
#include "ui/CFileView.h"
#include "ui/CMainFrame.h"

#include <QApplication>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>
#include <sstream>

using namespace mw;

namespace {

class SilentPrompt : public IUserPrompt
{
public:
    PromptAnswer Show(const std::string&, const std::string&, PromptButtons buttons, PromptIcon) override
    {
        return NonInteractiveAnswer(buttons);
    }
    bool AskSavePath(const std::string&, const std::string&, const std::string&, std::string&) override
    {
        return false;
    }
};

void Measure(const std::string& root, bool network, int files)
{
    std::ostringstream out;
    SilentPrompt prompt;
    AppEnvironment environment;
    environment.startFolder = root;
    environment.documentsFolder = root + "docs";
    environment.out = &out;
    environment.prompt = &prompt;
    CModwrightApp app(environment);
    std::vector<std::string> arguments{"-ini", root + "Tools.ini"};
    if (network)
        arguments.push_back("-network");
    app.InitInstance(arguments);
    CMainFrame frame(app, prompt, OperationTable());
    frame.resize(1000, 700);
    frame.show();
    QApplication::processEvents();
    CFileView& view = frame.View(2);
    const int rounds = 5;
    double best = 1e9;
    for (int round = 0; round < rounds; ++round)
    {
        view.SelectFolder("database/");
        QApplication::processEvents();
        bench::Stopwatch watch;
        view.SelectFolder("database/many/");
        QApplication::processEvents();
        best = std::min(best, watch.Seconds());
    }
    std::printf("%-8s list of %d files: %.1f ms (best of %d, %d rows shown)\n", network ? "network" : "local",
                files, best * 1000.0, rounds, view.FileList()->topLevelItemCount());
}

} // namespace

int main(int argc, char** argv)
{
    int files = argc > 1 ? std::atoi(argv[1]) : 1000;
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qtApp(argc, argv);
    std::string root = bench::MakeBenchFolder("file_list");
    std::string working = root + "Working/";
    EnsureFolders(working + "database/many");
    for (int i = 0; i < files; ++i)
        WriteFileAtomic(working + "database/many/record" + std::to_string(i) + ".dbr", "templateName,x.tpl,\n");
    WriteProfileString("Login", "localdir", working, root + "Tools.ini");

    SourceControlClient baseline;
    baseline.SetClientDirectory(working);
    bench::Stopwatch watch;
    std::vector<std::string> names;
    baseline.GetFiles("database/many/", names, 0, false, std::string());
    std::printf("baseline listing of %zu files without widgets: %.1f ms\n", names.size(), watch.Seconds() * 1000.0);

    Measure(root, false, files);
    Measure(root, true, files);
    DeleteFolderTree(root);
    return 0;
}
