// Importing records from built database archives.
#include "ImportRecord.h"

#include "CModwrightApp.h"
#include "DbArchiveFileCheck.h"
#include "dbarchive/DbArchive.h"
#include "dbarchive/DbArchiveStrings.h"
#include "dbtools/DatabaseCompile.h"
#include "platform/FileSystem.h"
#include "platform/NativePaths.h"
#include "platform/PathRules.h"
#include "platform/engine/BinaryReader.h"
#include "platform/engine/LoadTableBinary.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <algorithm>

namespace mw {
namespace {

bool LoadArchive(const std::string& path, DbArchive& archive)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes) || !DbArchiveFileProblem(bytes).empty())
        return false;
    archive.Load(std::move(bytes));
    return archive.LastError().empty();
}

} // namespace

std::vector<std::string> ImportRecordArchives(CModwrightApp& app)
{
    std::vector<std::string> archives;
    if (app.GetCurrentModIndex() >= 0)
        archives.push_back(app.GetStartDir() + "\\" + "Database/database.arz");
    for (const std::string& folder : app.GetAdditionalBuildDirs())
        archives.push_back(folder + "Database/database.arz");
    // After those, the archives this tool's own builds write: the game's
    // database in the build folder and the current mod's, so a record is
    // found right after the build that made it.
    std::vector<std::string> built{app.GetBuildDir() + "database\\database.arz"};
    if (app.GetCurrentModIndex() >= 0)
        built.push_back(DatabaseArchivePath(app, app.GetModPrefix() + "database/"));
    for (const std::string& path : built)
    {
        bool known = false;
        for (const std::string& listed : archives)
            known = known || SamePathNoCase(listed, path);
        if (!known && !app.GetBuildDir().empty())
            archives.push_back(path);
    }
    return archives;
}

std::vector<std::string> ListArchiveRecords(const std::vector<std::string>& archives)
{
    std::vector<std::string> names;
    for (const std::string& path : archives)
    {
        DbArchive archive;
        if (!LoadArchive(path, archive))
            continue;
        archive.BeginNames();
        for (std::string name = archive.NextName(); !name.empty(); name = archive.NextName())
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::string ImportRecord(CModwrightApp& app, const std::vector<std::string>& archives, const std::string& recordName)
{
    std::string relative = app.GetModPrefix() + "database/" + ToForwardSlashes(recordName);
    std::string fullPath = app.GetWorkingDir() + relative;
    bool written = false;
    if (PathExists(fullPath))
        app.Log(Format("%s exists already; it is left as it is.", ToNativeSeparators(relative).c_str()), true, true);
    else
    {
        for (const std::string& path : archives)
        {
            DbArchive archive;
            std::string_view body;
            if (!LoadArchive(path, archive) || !archive.GetRecordByName(recordName, body))
                continue;
            DbArchiveStrings strings(archive);
            GAME::LoadTableBinary table(&strings);
            GAME::BinaryReader reader(body.data(), body.size());
            std::string text;
            if (!table.Deserialize(reader) || !table.Serialize(text))
                continue;
            written = EnsureFolders(ParentPath(fullPath)) && WriteTextFileAtomic(fullPath, text);
            break;
        }
    }
    if (!written || !app.SourceControl().AddFile(relative))
    {
        app.Prompt().Show("Error importing database record", "", PromptButtons::Ok, PromptIcon::Error);
        return std::string();
    }
    app.Log(Format("Record imported: %s as %s", recordName.c_str(), ToNativeSeparators(relative).c_str()), true, false);
    return relative;
}

} // namespace mw
