// Importing records from built database archives.
#include "ImportRecord.h"

#include "CModwrightApp.h"
#include "DbArchiveFileCheck.h"
#include "dbarchive/DbArchive.h"
#include "dbarchive/DbArchiveStrings.h"
#include "platform/FileSystem.h"
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

std::vector<std::string> ImportRecordArchives(const CModwrightApp& app)
{
    std::vector<std::string> archives;
    if (app.GetCurrentModIndex() >= 0)
        archives.push_back(app.GetStartDir() + "\\" + "Database/database.arz");
    for (const std::string& folder : app.GetAdditionalBuildDirs())
        archives.push_back(folder + "Database/database.arz");
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
        app.Log(Format("%s exists already; it is left as it is.", relative.c_str()), true, true);
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
    return relative;
}

} // namespace mw
