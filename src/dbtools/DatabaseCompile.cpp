// The database compile.
#include "DatabaseCompile.h"

#include "TemplateCache.h"
#include "context/IWorkspaceContext.h"
#include "dbarchive/ArchiveSlot.h"
#include "dbarchive/ByteWriter.h"
#include "dbarchive/DbArchive.h"
#include "dbarchive/RecordCompiler.h"
#include "dbtext/DbRecord.h"
#include "dbtext/DbTemplate.h"
#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <vector>

namespace mw {
namespace {

constexpr size_t kRecordBodyCapacity = 1024;

// What the walk already knows of a file: looked up through an open folder,
// so BuildRecord need not walk the path again.
struct KnownInfo
{
    bool known = false;
    bool exists = false;
    FileInfo info;
};

bool BuildRecordWith(IWorkspaceContext& context, const std::string& sourcePath, const std::string& targetPath,
                     bool force, TemplateCache* cache, const KnownInfo& sourceKnown, const KnownInfo& targetKnown);

// The source and target folders of the files being walked, kept open while
// consecutive files lie in them.
class WalkFolders
{
public:
    WalkFolders(std::string sourceRoot, std::string targetRoot)
        : m_sourceRoot(std::move(sourceRoot)), m_targetRoot(std::move(targetRoot))
    {
    }

    // relative: a file path below both roots, with '/' separators.
    void Look(const std::string& relative, KnownInfo& source, KnownInfo& target)
    {
        size_t slash = relative.rfind('/');
        std::string folder = slash == std::string::npos ? std::string() : relative.substr(0, slash + 1);
        std::string name = relative.substr(folder.size());
        if (!m_opened || folder != m_folder)
        {
            m_folder = folder;
            m_opened = true;
            m_source.Open(m_sourceRoot + folder);
            m_target.Open(m_targetRoot + folder);
        }
        LookIn(m_source, name, source);
        LookIn(m_target, name, target);
    }

private:
    // A name missing as written is left to the case-insensitive lookup.
    static void LookIn(const FolderHandle& handle, const std::string& name, KnownInfo& known)
    {
        known.known = handle.IsOpen() && handle.Stat(name, known.info);
        known.exists = known.known;
    }

    std::string m_sourceRoot;
    std::string m_targetRoot;
    std::string m_folder;
    bool m_opened = false;
    FolderHandle m_source;
    FolderHandle m_target;
};

int WalkFolder(IWorkspaceContext& context, const std::string& sourceFolder, const std::string& targetFolder, bool force,
               TemplateCache& cache)
{
    if (context.IsCancelled())
        return 0;
    std::vector<FolderEntry> entries;
    ListFolder(sourceFolder, entries);
    WalkFolders folders(sourceFolder, targetFolder);
    int errors = 0;
    for (const FolderEntry& entry : entries)
    {
        if (entry.isFolder)
        {
            errors += WalkFolder(context, sourceFolder + entry.name + "/", targetFolder + entry.name + "/", force, cache);
            continue;
        }
        if (context.IsCancelled())
            return errors;
        KnownInfo source;
        KnownInfo target;
        folders.Look(entry.name, source, target);
        if (!BuildRecordWith(context, sourceFolder + entry.name, targetFolder + entry.name, force, &cache, source, target))
            ++errors;
    }
    return errors;
}

int WalkList(IWorkspaceContext& context, const std::vector<std::string>& files, const std::string& sourceFolder,
             const std::string& targetFolder, bool force, TemplateCache& cache)
{
    if (context.IsCancelled())
        return 0;
    int errors = 0;
    WalkFolders folders(sourceFolder, targetFolder);
    for (const std::string& file : files)
    {
        KnownInfo source;
        KnownInfo target;
        folders.Look(file, source, target);
        if (!BuildRecordWith(context, sourceFolder + file, targetFolder + file, force, &cache, source, target))
            ++errors;
        if (context.IsCancelled())
            break;
    }
    return errors;
}

} // namespace

std::string CurrentDatabaseFolder(IWorkspaceContext& context) { return context.GetModPrefix() + "database/"; }

std::string DatabaseArchivePath(IWorkspaceContext& context, const std::string& folder)
{
    std::string folded = ToLowerAscii(ToForwardSlashes(folder));
    size_t at = folded.find("/database/");
    if (at == std::string::npos)
        return context.GetBuildDir() + "database\\" + "database.arz";
    size_t slash = at == 0 ? std::string::npos : folded.rfind('/', at - 1);
    size_t from = slash == std::string::npos ? 0 : slash;
    return context.GetBuildDir() + folder.substr(0, at) + "\\database" + folder.substr(from, at - from) + ".arz";
}

int CompileDatabase(IWorkspaceContext& context, const std::string& folder, bool force, bool clearOutput)
{
    if (clearOutput)
        context.BeginOperation();
    context.Log("Compiling database...", true, false);
    std::string archivePath = DatabaseArchivePath(context, folder);
    std::string targetFolder = context.GetBuildDir() + folder;
    std::string sourceFolder = context.GetWorkingDir() + folder;
    if (!EnsureFolders(targetFolder))
    {
        context.Log(Format("Error creating directory: %s", targetFolder.c_str()), true, false);
        return 0;
    }
    int errors = 0;
    OpenDbArchive(context, archivePath);
    if (context.ArchiveSlot())
    {
        TemplateCache cache;
        std::vector<std::string> files;
        context.SourceControl().GetFilesUnderDirectory(folder, files);
        if (!files.empty())
            errors = WalkList(context, files, sourceFolder, targetFolder, force, cache);
        else
            errors = WalkFolder(context, sourceFolder, targetFolder, force, cache);
        CloseDbArchive(context, archivePath, true);
    }
    context.ResetCancel();
    context.Log("Done.", true, false);
    return errors;
}

bool BuildRecord(IWorkspaceContext& context, const std::string& sourcePath, const std::string& targetPath, bool force,
                 TemplateCache* cache)
{
    return BuildRecordWith(context, sourcePath, targetPath, force, cache, KnownInfo(), KnownInfo());
}

namespace {

bool BuildRecordWith(IWorkspaceContext& context, const std::string& sourcePath, const std::string& targetPath,
                     bool force, TemplateCache* cache, const KnownInfo& sourceKnown, const KnownInfo& targetKnown)
{
    if (ToLowerAscii(Extension(sourcePath)) != "dbr")
        return true;

    FileInfo source = sourceKnown.info;
    bool haveSourceTime = sourceKnown.known ? sourceKnown.exists : GetFileInfo(sourcePath, source);
    FileTime sourceTime = source.lastWrite;
    // A build copy of another size than its source was cut short (copies are
    // written in place), so it is copied again whatever its time says.
    FileInfo target = targetKnown.info;
    bool haveTarget = !force && haveSourceTime && (targetKnown.known ? targetKnown.exists : GetFileInfo(targetPath, target));
    bool upToDateCopy = haveTarget && !target.isFolder && !(sourceTime > target.lastWrite) && target.size == source.size;
    // The record is read once, for the copy and the compile alike.
    std::string bytes;
    bool haveBytes = false;
    if (!upToDateCopy)
    {
        context.Log(targetPath, true, false);
        EnsureFolders(ParentPath(targetPath));
        MakeWritable(targetPath);
        haveBytes = ReadWholeFile(sourcePath, bytes, sourceTime);
        if (!haveBytes || !OverwriteFileWithTime(targetPath, bytes, sourceTime))
        {
            context.Log(Format("Error building record (%s)", sourcePath.c_str()), true, true);
            return false;
        }
    }

    DbArchive* archive = context.ArchiveSlot().get();
    if (!archive)
    {
        context.Log(Format("Error building record \"%s\".  DbArchive is not open", sourcePath.c_str()), true, true);
        return true;
    }

    std::string mod = context.GetCurrentModName();
    std::string start = context.GetWorkingDir() + (mod.empty() ? std::string() : "CustomMaps\\" + mod + "\\") + "database\\";
    std::string recordName = ToLowerAscii(RemoveFirstNoCase(ToBackslashes(sourcePath), ToBackslashes(start)));

    uint64_t storedTime = archive->RecordTime(archive->Strings().FindOrAdd(recordName));
    if (haveSourceTime && !(sourceTime.value > storedTime) && !force)
        return true;

    DbRecord record;
    if (!haveBytes && !ReadWholeFile(sourcePath, bytes))
        return true;
    if (record.FileState().OpenImage(sourcePath, bytes, true) != 1)
        return true;
    if (record.GetTemplateName().empty())
    {
        context.Log("Error building record (Record has no template)", true, true);
        return false;
    }

    std::string templatePath = ResolveTemplatePath(record.GetTemplateName(), context.GetWorkingDir());
    TemplateCache privateCache;
    const LoadedTemplate* loaded = (cache ? cache : &privateCache)->Load(templatePath, context.GetWorkingDir(), &context);
    if (!loaded)
        return true;

    ByteWriter body(kRecordBodyCapacity);
    std::string failedVariable;
    WriteBinaryResult result = WriteBinary(record, body, *loaded->dbTemplate, loaded->fileName, *archive,
                                           &failedVariable, loaded->index.get());
    if (result == WriteBinaryResult::TemplateMismatch)
        return true;
    if (result == WriteBinaryResult::TooManyValues)
    {
        context.Log(Format("Error building record (%s): variable \"%s\" has more than %u values", sourcePath.c_str(),
                           failedVariable.c_str(), kMaxValuesPerEntry),
                    true, true);
        return false;
    }
    if (body.Failed())
    {
        context.Log(body.FailureText(), true, true);
        return false;
    }
    archive->AddRecord(body.Data(), body.Size(), recordName, record.GetValue("Class"), sourceTime.Low(),
                       sourceTime.High());
    context.Log(Format("BinaryUpdate: %s", sourcePath.c_str()), true, false);
    return true;
}

} // namespace

void ReportDbArchiveStatistics(IWorkspaceContext& context)
{
    std::string path = DatabaseArchivePath(context, CurrentDatabaseFolder(context));
    OpenDbArchive(context, path);
    std::unique_ptr<DbArchive>& slot = context.ArchiveSlot();
    if (!slot)
        return;
    std::vector<std::string> lines;
    slot->WriteStatistics(lines);
    for (const std::string& line : lines)
        context.Log(line, true, false);
    slot.reset();
    context.Log(Format("Closed %s", path.c_str()), true, false);
}

} // namespace mw
