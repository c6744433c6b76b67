// Opens records of one template side by side in the Database Editor: the
// document alone, then the window (offscreen) up to its first paint, group
// switches, a search and an edit with undo. One template read with its
// includes is measured as the baseline of the per-record cost.
//   bench_dbeditor_open [RECORDS]   (default 200)
#include "BenchSupport.h"
#include "WorkspaceGenerator.h"
#include "context/IWorkspaceContext.h"
#include "ui/dbeditor/CDataView.h"
#include "ui/dbeditor/CDbEditor.h"
#include "ui/dbeditor/DbTreeView.h"
#include "ui/dbeditor/DbVariableTableModel.h"
#include "dbarchive/DbArchive.h"
#include "dbtext/DbEditorDocument.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

using namespace mw;

namespace {

// Answers every question with the non-interactive answer and counts them.
class CountingPrompt : public IUserPrompt
{
public:
    PromptAnswer Show(const std::string& text, const std::string&, PromptButtons buttons, PromptIcon) override
    {
        if (messages++ == 0)
            std::printf("first message: %s\n", text.c_str());
        return NonInteractiveAnswer(buttons);
    }
    bool AskSavePath(const std::string&, const std::string&, const std::string&, std::string&) override
    {
        return false;
    }
    int messages = 0;
};

class BenchWorkspace final : public IWorkspaceContext
{
public:
    explicit BenchWorkspace(std::string workingDir) : m_workingDir(std::move(workingDir)) {}
    bool RunTool(const std::string&, uint32_t& exitCode, const char*) override
    {
        exitCode = 0;
        return false;
    }
    void Log(const std::string&, bool, bool) override { ++logLines; }
    std::string GetSourceDir() const override { return m_workingDir + "source/"; }
    std::string GetToolsDir() const override { return std::string(); }
    std::string GetMAXServer() const override { return std::string(); }
    std::string GetShaderAsmDir() const override { return std::string(); }
    int GetExportStatistics() const override { return 0; }
    std::string GetWorkingDir() const override { return m_workingDir; }
    std::string GetBuildDir() const override { return m_workingDir + "build/"; }
    std::string GetCurrentModName() const override { return std::string(); }
    SourceControlClient& SourceControl() override { return m_sourceControl; }
    SourceControlLog* MainFrameLog() override { return nullptr; }
    bool IsCancelled() const override { return false; }
    void RequestCancel() override {}
    bool ResetCancel() override { return true; }
    void BeginOperation() override {}
    void EndOperation() override {}
    std::unique_ptr<DbArchive>& ArchiveSlot() override { return m_archive; }
    IUserPrompt& Prompt() override { return prompt; }

    CountingPrompt prompt;
    int logLines = 0;

private:
    std::string m_workingDir;
    SourceControlClient m_sourceControl;
    std::unique_ptr<DbArchive> m_archive;
};

} // namespace

int main(int argc, char** argv)
{
    int count = argc > 1 ? std::atoi(argv[1]) : 200;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    std::string root = bench::MakeBenchFolder("mwbench-dbeditor");
    bench::GeneratedWorkspace generated = bench::GenerateWorkspace(root, 8);
    // Copies of one generated record: all of one template (with its includes).
    std::string sample;
    ReadWholeFile(generated.recordPaths.front(), sample);
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i)
    {
        char name[32];
        std::snprintf(name, sizeof name, "unit%04d.dbr", i);
        paths.push_back(generated.workingDir + "database/records/side/" + name);
        EnsureFolders(ParentPath(paths.back()) + "/");
        WriteFileAtomic(paths.back(), sample);
    }
    BenchWorkspace workspace(generated.workingDir);

    DbRecord probe;
    probe.FileState().Open(paths.front(), true);
    auto readTemplate = [&] {
        DbTemplate dbTemplate;
        dbTemplate.FileState().Open(ResolveTemplatePath(probe.GetTemplateName(), workspace.GetWorkingDir()), true);
        dbTemplate.LoadIncludes(workspace.GetWorkingDir(), nullptr);
    };
    readTemplate(); // the files' first read is not what opening records costs
    const int baselineReads = 50;
    bench::Stopwatch baseline;
    for (int i = 0; i < baselineReads; ++i)
        readTemplate();
    double templateRead = baseline.Seconds() / baselineReads;
    std::printf("baseline: one template read with includes %.3f ms\n", templateRead * 1000);

    {
        DbEditorDocument document(workspace, workspace.prompt, nullptr);
        bench::Stopwatch open;
        document.OpenFiles(paths);
        double seconds = open.Seconds();
        std::printf("document: opened %zu of %d records in %.1f ms (%.3f ms per record, %.1f template reads' worth)\n",
                    document.Records().size(), count, seconds * 1000, seconds * 1000 / count, seconds / templateRead);
    }

    CDbEditor editor(workspace, std::string(), &workspace.prompt);
    editor.resize(1200, 800);
    editor.show();
    QApplication::processEvents();
    bench::Stopwatch windowOpen;
    editor.OpenFiles(paths);
    double openedSeconds = windowOpen.Seconds();
    QPixmap firstPaint = editor.grab();
    double openSeconds = windowOpen.Seconds();
    std::printf("window: %zu records open in %.1f ms, painted after %.1f ms (%d columns)\n",
                editor.Document().Records().size(), openedSeconds * 1000, openSeconds * 1000,
                editor.Model()->columnCount());

    std::vector<std::string> groups;
    for (const auto& group : editor.Document().Template().Root().subgroups)
        groups.push_back(group->name);
    bench::Stopwatch switching;
    int switches = 0;
    for (int round = 0; round < 5; ++round)
        for (const std::string& group : groups)
        {
            editor.Tree()->SelectGroup(group);
            editor.grab();
            ++switches;
        }
    std::printf("window: group switch with repaint %.2f ms on average (%d switches)\n",
                switching.Seconds() * 1000 / switches, switches);

    bench::Stopwatch search;
    editor.DataView()->Search()->setText("a");
    editor.grab();
    std::printf("window: search over all groups with repaint %.2f ms (%d rows)\n", search.Seconds() * 1000,
                editor.Model()->rowCount());
    editor.DataView()->Search()->clear();

    int editable = -1;
    for (int column = 0; column < editor.Model()->columnCount() && editable < 0; ++column)
        if (editor.Model()->KindOf(column) == DbVariableTableModel::ColumnKind::RecordValue)
            editable = column;
    bench::Stopwatch edit;
    int edits = 0;
    for (int row = 0; row < editor.Model()->rowCount() && editable >= 0; ++row)
        if (editor.Model()->flags(editor.Model()->index(row, editable)) & Qt::ItemIsEditable)
        {
            editor.Model()->setData(editor.Model()->index(row, editable), "7", Qt::EditRole);
            editor.OnUndo();
            ++edits;
        }
    editor.grab();
    if (edits)
        std::printf("window: cell edit plus undo %.2f ms on average (%d edits)\n", edit.Seconds() * 1000 / edits,
                    edits);
    std::printf("messages shown: %d, log lines: %d\n", workspace.prompt.messages, workspace.logLines);
    editor.hide();
    DeleteFolderTree(root);
    return 0;
}
