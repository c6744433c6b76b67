// The database compile.
#include "DatabaseCompile.h"

#include "CompilePipeline.h"
#include "ConflictedFiles.h"
#include "TemplateCache.h"
#include "WalkedFiles.h"
#include "context/IWorkspaceContext.h"
#include "dbarchive/ArchiveSlot.h"
#include "dbarchive/ByteWriter.h"
#include "dbarchive/DbArchive.h"
#include "dbarchive/RecordCompiler.h"
#include "dbarchive/RecordNameCursor.h"
#include "dbtext/DbRecord.h"
#include "dbtext/DbTemplate.h"
#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <algorithm>
#include <atomic>
#include <future>
#include <optional>
#include <thread>
#include <vector>

namespace mw {
namespace {

constexpr size_t kRecordBodyCapacity = 1024;
// How far ahead of the walk records are read and parsed on the helpers.
constexpr size_t kReadAheadFiles = 64;

// What the walk already knows of a file: looked up through an open folder,
// so BuildRecord need not walk the path again.
struct KnownInfo
{
    bool known = false;
    bool exists = false;
    FileInfo info;
};

// What stays the same for every record of one compile (or one BuildRecord).
struct RecordSteps
{
    RecordSteps(IWorkspaceContext& context, bool force, TemplateCache* cache, CompilePipeline* pipeline)
        : context(context), force(force), cache(cache), pipeline(pipeline), workingDir(context.GetWorkingDir())
    {
        std::string mod = context.GetCurrentModName();
        nameStart = ToBackslashes(workingDir + (mod.empty() ? std::string() : "CustomMaps\\" + mod + "\\") + "database\\");
    }

    // The name a record is stored under: the source path with backslash
    // separators, without the first occurrence of the database folder, lower-cased.
    std::string RecordName(const std::string& sourcePath) const
    {
        // Nearly always the path starts with the database folder: the name
        // is then made in one pass, without the general search.
        if (StartsWithFolder(sourcePath))
        {
            std::string name(sourcePath, nameStart.size());
            for (char& c : name)
                c = c == '/' ? '\\' : LowerAscii(c);
            return name;
        }
        return ToLowerAscii(RemoveFirstNoCase(ToBackslashes(sourcePath), nameStart));
    }

    // Whether path begins with nameStart, either separator matching either.
    bool StartsWithFolder(std::string_view path) const
    {
        if (path.size() < nameStart.size())
            return false;
        for (size_t i = 0; i < nameStart.size(); ++i)
        {
            char c = path[i] == '/' ? '\\' : path[i];
            if (LowerAscii(c) != LowerAscii(nameStart[i]))
                return false;
        }
        return true;
    }

    IWorkspaceContext& context;
    bool force;
    TemplateCache* cache;
    CompilePipeline* pipeline; // null: every step on this thread
    std::string workingDir;
    std::string nameStart;
};

// stored, when given, is set to the record's time in the archive before
// this compile (0: none), once the walk has got that far.
bool BuildRecordWith(const RecordSteps& steps, const std::string& sourcePath, const std::string& targetPath,
                     const KnownInfo& sourceKnown, const KnownInfo& targetKnown, RecordAhead* ahead,
                     uint64_t* stored = nullptr);

bool IsRecordFile(std::string_view path)
{
    size_t dot = path.rfind('.');
    return dot != std::string_view::npos && EqualsNoCase(path.substr(dot + 1), "dbr");
}

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

// Looks at the source and target of the files ahead of the walk on a
// helper thread. Each file is claimed by whichever of the two comes to it
// first, so no file is looked at twice: the walk looks for itself where the
// helper has not been yet, and the helper skips ahead of the walk when it
// falls behind. The walk waits only for a file the helper is looking at
// that moment, and not for long: a helper slowed down by other work never
// holds the walk up.
class LookAhead
{
public:
    LookAhead(const std::vector<std::string>& files, const std::string& sourceRoot, const std::string& targetRoot)
        : m_files(files), m_state(new std::atomic<uint8_t>[files.size()]), m_source(files.size()),
          m_target(files.size()), m_walkFolders(sourceRoot, targetRoot), m_helperFolders(sourceRoot, targetRoot)
    {
        for (size_t i = 0; i < files.size(); ++i)
            m_state[i].store(kFree, std::memory_order_relaxed);
        m_thread = std::thread([this] { Run(); });
    }
    ~LookAhead()
    {
        m_stop.store(true);
        m_thread.join();
    }
    LookAhead(const LookAhead&) = delete;
    LookAhead& operator=(const LookAhead&) = delete;

    // For the walk, at file index (rising).
    void Look(size_t index, KnownInfo& source, KnownInfo& target)
    {
        m_walkAt.store(index, std::memory_order_relaxed);
        uint8_t state = kFree;
        if (!m_state[index].compare_exchange_strong(state, kWalkTook, std::memory_order_acquire))
        {
            for (int wait = 0; state == kHelperLooking && wait < kMostWaits; ++wait)
            {
                std::this_thread::yield();
                state = m_state[index].load(std::memory_order_acquire);
            }
            if (state == kHelperDone)
            {
                source = m_source[index];
                target = m_target[index];
                return;
            }
        }
        // Taken by the walk, or the helper is held up: what it finds later
        // is not read.
        m_walkFolders.Look(m_files[index], source, target);
    }

private:
    enum : uint8_t
    {
        kFree,
        kHelperLooking,
        kHelperDone,
        kWalkTook,
    };
    // How many times the walk lets the helper finish the file it is at.
    static constexpr int kMostWaits = 32;
    // When the walk comes this near, the helper goes on further ahead and
    // leaves the files between to the walk: otherwise a walk that has caught
    // up would wait at every file for the helper to finish it.
    static constexpr size_t kLeastLead = 4;
    static constexpr size_t kSkipPastWalk = 64;

    void Run()
    {
        for (size_t i = 0; i < m_files.size() && !m_stop.load(std::memory_order_relaxed); ++i)
        {
            size_t walkAt = m_walkAt.load(std::memory_order_relaxed);
            if (i <= walkAt + kLeastLead)
                i = walkAt + kSkipPastWalk;
            if (i >= m_files.size())
                break;
            uint8_t state = kFree;
            if (!m_state[i].compare_exchange_strong(state, kHelperLooking, std::memory_order_relaxed))
                continue;
            m_helperFolders.Look(m_files[i], m_source[i], m_target[i]);
            m_state[i].store(kHelperDone, std::memory_order_release);
        }
    }

    const std::vector<std::string>& m_files;
    std::unique_ptr<std::atomic<uint8_t>[]> m_state;
    std::vector<KnownInfo> m_source;
    std::vector<KnownInfo> m_target;
    WalkFolders m_walkFolders;
    WalkFolders m_helperFolders;
    std::atomic<size_t> m_walkAt{0};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// The files below the source folder in walk order: each folder's entries in
// listing order, a subfolder's files at the subfolder's place. Paths are
// relative to the source folder, with '/' separators.
void ListFilesOnDisk(const std::string& sourceFolder, const std::string& relative, std::vector<std::string>& files)
{
    std::vector<FolderEntry> entries;
    ListFolder(sourceFolder + relative, entries);
    for (const FolderEntry& entry : entries)
    {
        if (entry.isFolder)
            ListFilesOnDisk(sourceFolder, relative + entry.name + "/", files);
        else
            files.push_back(relative + entry.name);
    }
}

// Builds every file in order. The list walk looks at the cancel event after
// each file, the disk walk before each file, as the two walks always did.
int CompileFiles(IWorkspaceContext& context, const std::vector<std::string>& files, bool cancelAfterFile,
                 const std::string& sourceFolder, const std::string& targetFolder, bool force, int helperThreads,
                 WalkedFiles* walked)
{
    if (context.IsCancelled())
        return 0;
    DbArchive& archive = *context.ArchiveSlot();
    TemplateCache cache;
    CompilePipeline pipeline(helperThreads, archive);
    RecordSteps steps(context, force, &cache, &pipeline);
    WalkFolders folders(sourceFolder, targetFolder);
    // Without force most records are up to date, and looking at their two
    // files is nearly all the work: a helper shares it.
    std::unique_ptr<LookAhead> lookAhead;
    if (pipeline.Parallel() && !force && files.size() > 1)
        lookAhead = std::make_unique<LookAhead>(files, sourceFolder, targetFolder);
    size_t aheadUntil = 0;
    RecordNameCursor names(archive);
    int errors = 0;
    // Walked records the archive held: when they are as many as its
    // entries, the walk found every one of them.
    size_t entriesAtStart = archive.Entries().size();
    size_t walkedStored = 0;
    if (walked)
        walked->Reserve(files.size());
    for (size_t i = 0; i < files.size(); ++i)
    {
        if (!cancelAfterFile && context.IsCancelled())
            break;
        // Reading ahead only reads: whatever the walk later decides, nothing
        // is written or logged for a file before its turn.
        for (; pipeline.Parallel() && aheadUntil < files.size() && aheadUntil <= i + kReadAheadFiles; ++aheadUntil)
        {
            std::string sourcePath = sourceFolder + files[aheadUntil];
            if (!IsRecordFile(sourcePath))
                continue;
            std::string recordName = steps.RecordName(sourcePath);
            // A name found now keeps its id: strings are never renumbered.
            // One not found yet is added by the walk in its turn, so ids
            // are handed out in the serial compile's order.
            std::optional<uint32_t> nameId = names.Find(recordName);
            uint64_t storedTime = nameId ? archive.RecordTime(*nameId) : 0;
            // Without force only records the archive lacks are read ahead:
            // the others are mostly up to date, and looking at each from a
            // helper would cost more than the few changed ones save.
            bool read = force || storedTime == 0;
            pipeline.ReadAhead(aheadUntil, sourcePath, std::move(recordName), nameId, read, force, storedTime);
        }
        KnownInfo source;
        KnownInfo target;
        if (lookAhead)
            lookAhead->Look(i, source, target);
        else
            folders.Look(files[i], source, target);
        // A name noted before (the same record in another case) counts once.
        bool newlyWalked = walked && source.known && walked->Add(files[i]);
        uint64_t storedTime = 0;
        if (!BuildRecordWith(steps, sourceFolder + files[i], targetFolder + files[i], source, target,
                             pipeline.TakeAhead(i), &storedTime))
            ++errors;
        if (newlyWalked && storedTime != 0)
            ++walkedStored;
        if (cancelAfterFile && context.IsCancelled())
            break;
    }
    pipeline.Finish();
    // What the walk left out of the archive it went through whole, for the
    // unassociated-files scan that follows.
    if (walked && !context.IsCancelled())
    {
        std::vector<std::string> notWalked;
        if (walkedStored != entriesAtStart)
            for (const RecordEntry& entry : archive.Entries())
                if (std::optional<std::string_view> name = archive.Strings().GetString(entry.nameId);
                    name && !walked->Contains(*name))
                    notWalked.emplace_back(*name);
        walked->SetArchiveRecordsNotWalked(std::move(notWalked));
    }
    return errors;
}

} // namespace

int DefaultCompileHelperThreads()
{
    // One helper per core: the walk spends much of its time in the system
    // (creating build copies), and the helpers' share of the work (reading,
    // parsing, compressing) is larger than one core's worth of the walk's.
    // Beyond four, the walk alone sets the pace.
    unsigned cores = std::thread::hardware_concurrency();
    if (cores <= 1)
        return 0;
    return int(std::min(cores, 4u));
}

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
    return CompileDatabase(context, folder, force, clearOutput, DefaultCompileHelperThreads());
}

int CompileDatabase(IWorkspaceContext& context, const std::string& folder, bool force, bool clearOutput,
                    int helperThreads)
{
    return CompileDatabase(context, folder, force, clearOutput, helperThreads, nullptr);
}

int CompileDatabase(IWorkspaceContext& context, const std::string& folder, bool force, bool clearOutput,
                    int helperThreads, WalkedFiles* walked)
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
        // Nothing can be compiled: one error, so the compile cannot end as a success.
        return 1;
    }
    // An archive that cannot be saved makes every record's compile void, so
    // none is compiled or logged as built.
    if (!CanSaveDbArchive(archivePath))
    {
        context.Log(Format("Couldn't open %s for writing", archivePath.c_str()), true, true);
        context.ResetCancel();
        context.Log("Done.", true, false);
        return 1;
    }
    int errors = 0;
    // With helpers, the archive is read and parsed on a thread of its own
    // while the files are listed; it is in the slot before anything uses it.
    std::future<LoadedDbArchive> loading;
    if (helperThreads > 0 && !context.ArchiveSlot())
        loading = std::async(std::launch::async, LoadDbArchiveFile, archivePath);
    else
        OpenDbArchive(context, archivePath);
    std::vector<std::string> files;
    context.SourceControl().GetFilesUnderDirectory(folder, files);
    bool listWalk = !files.empty();
    if (!listWalk && !context.IsCancelled())
        ListFilesOnDisk(sourceFolder, std::string(), files);
    if (loading.valid())
        InstallDbArchive(context, archivePath, loading.get());
    if (context.ArchiveSlot())
    {
        // Records a sync left in conflict are never compiled: each is an error.
        errors = ConflictedFiles(context, folder).Exclude(files);
        errors += CompileFiles(context, files, listWalk, sourceFolder, targetFolder, force, helperThreads, walked);
        if (!CloseDbArchive(context, archivePath, true))
            ++errors;
    }
    context.ResetCancel();
    context.Log("Done.", true, false);
    return errors;
}

bool BuildRecord(IWorkspaceContext& context, const std::string& sourcePath, const std::string& targetPath, bool force,
                 TemplateCache* cache)
{
    return BuildRecordWith(RecordSteps(context, force, cache, nullptr), sourcePath, targetPath, KnownInfo(),
                           KnownInfo(), nullptr);
}

namespace {

// Why a record's build copy is written again.
std::string CopyRebuildReason(bool force, bool haveSourceTime, bool haveTarget, const FileInfo& target,
                              const FileInfo& source)
{
    if (force)
        return "forced";
    if (!haveSourceTime)
        return "record time unreadable";
    if (!haveTarget || target.isFolder)
        return "build copy missing";
    if (source.lastWrite > target.lastWrite)
        return Format("record newer than its build copy by %.3f s",
                      double(source.lastWrite.value - target.lastWrite.value) / 1e7);
    return "build copy of another size than the record";
}

// Why a record is compiled into the archive again.
std::string ArchiveRebuildReason(bool force, bool haveSourceTime, uint64_t sourceTime, uint64_t storedTime)
{
    if (force)
        return "forced";
    if (storedTime == 0)
        return "not in the database archive";
    if (!haveSourceTime)
        return "record time unreadable";
    return Format("record newer than its archive entry by %.3f s", double(sourceTime - storedTime) / 1e7);
}

bool BuildRecordWith(const RecordSteps& steps, const std::string& sourcePath, const std::string& targetPath,
                     const KnownInfo& sourceKnown, const KnownInfo& targetKnown, RecordAhead* ahead,
                     uint64_t* stored)
{
    if (!IsRecordFile(sourcePath))
        return true;
    IWorkspaceContext& context = steps.context;
    bool force = steps.force;

    FileInfo source = sourceKnown.info;
    bool haveSourceTime = sourceKnown.known ? sourceKnown.exists : GetFileInfo(sourcePath, source);
    FileTime sourceTime = source.lastWrite;
    // A build copy of another size than its source was cut short (copies are
    // written in place), so it is copied again whatever its time says.
    FileInfo target = targetKnown.info;
    bool haveTarget = !force && haveSourceTime && (targetKnown.known ? targetKnown.exists : GetFileInfo(targetPath, target));
    bool upToDateCopy = haveTarget && !target.isFolder && !(sourceTime > target.lastWrite) && target.size == source.size;
    // The record is read once, for the copy and the compile alike; a helper
    // may have read and parsed it already.
    bool aheadRead = ahead && ahead->read;
    std::string ownBytes;
    const std::string* bytes = nullptr;
    if (!upToDateCopy)
    {
        context.Log(targetPath, true, false);
        if (context.ExplainRebuilds())
            context.Log("explain: " + CopyRebuildReason(force, haveSourceTime, haveTarget, target, source), true, false);
        EnsureFolders(ParentPath(targetPath));
        MakeWritable(targetPath);
        if (aheadRead)
        {
            bytes = &ahead->bytes;
            sourceTime = ahead->time;
        }
        else if (ReadWholeFile(sourcePath, ownBytes, sourceTime))
            bytes = &ownBytes;
        if (!bytes || !OverwriteFileWithTime(targetPath, *bytes, sourceTime))
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

    std::string recordName = ahead ? std::move(ahead->recordName) : steps.RecordName(sourcePath);
    // The id the read-ahead found spares a second name lookup.
    uint32_t nameId = ahead && ahead->nameId ? *ahead->nameId : archive->Strings().FindOrAdd(recordName);
    uint64_t storedTime = archive->RecordTime(nameId);
    if (stored)
        *stored = storedTime;
    if (haveSourceTime && !(sourceTime.value > storedTime) && !force)
        return true;
    if (context.ExplainRebuilds())
        context.Log("explain: " + ArchiveRebuildReason(force, haveSourceTime, sourceTime.value, storedTime), true,
                    false);

    // The record as views into its bytes, its values in name order.
    std::string_view templateName;
    std::vector<DbRecord::ValueView> ownValues;
    const std::vector<DbRecord::ValueView>* values = &ownValues;
    if (aheadRead)
    {
        templateName = ahead->templateName;
        values = &ahead->values;
    }
    else
    {
        if (!bytes)
        {
            if (!ReadWholeFile(sourcePath, ownBytes))
                return true;
            bytes = &ownBytes;
        }
        std::vector<std::string_view> history;
        DbRecord::ReadViews(bytes->data(), bytes->size(), templateName, ownValues, history);
        DbRecord::SortValues(ownValues);
    }
    if (templateName.empty())
    {
        context.Log("Error building record (Record has no template)", true, true);
        return false;
    }

    std::string templatePath = ResolveTemplatePath(std::string(templateName), steps.workingDir);
    TemplateCache privateCache;
    LoadedTemplate* loaded = (steps.cache ? steps.cache : &privateCache)->Load(templatePath, steps.workingDir, &context);
    if (!loaded)
        return true;

    ByteWriter body(kRecordBodyCapacity);
    std::string failedVariable;
    WriteBinaryResult result = WriteBinary(templateName, *values, body, *loaded->dbTemplate, loaded->fileName,
                                           *archive, &failedVariable, loaded->index.get(), &loaded->nameIds);
    if (result == WriteBinaryResult::TemplateMismatch)
        return true;
    if (result == WriteBinaryResult::TooManyValues)
    {
        context.Log(Format("Error building record (%s): variable \"%s\" has more than %u values", sourcePath.c_str(),
                           failedVariable.c_str(), kMaxValuesPerEntry),
                    true, true);
        return false;
    }
    if (result == WriteBinaryResult::StringTooLong)
    {
        context.Log(Format("Error building record (%s): variable \"%s\" has a value longer than %u bytes",
                           sourcePath.c_str(), failedVariable.c_str(), unsigned(DbArchive::kMaxStringLength)),
                    true, true);
        return false;
    }
    if (result == WriteBinaryResult::BodyTooLarge)
    {
        context.Log(Format("Error building record (%s): its compiled body is larger than %u bytes", sourcePath.c_str(),
                           unsigned(DbArchive::kMaxBodySize)),
                    true, true);
        return false;
    }
    if (body.Failed())
    {
        context.Log(body.FailureText(), true, true);
        return false;
    }
    std::string className;
    auto classValue = std::lower_bound(values->begin(), values->end(), std::string_view("Class"),
                                       [](const DbRecord::ValueView& value, std::string_view name) {
                                           return value.first < name;
                                       });
    if (classValue != values->end() && classValue->first == "Class")
        className = classValue->second;
    // The class text goes into the index, whose reader takes strings of the
    // same length as the string table's.
    if (className.size() > DbArchive::kMaxStringLength)
    {
        context.Log(Format("Error building record (%s): variable \"%s\" has a value longer than %u bytes",
                           sourcePath.c_str(), "Class", unsigned(DbArchive::kMaxStringLength)),
                    true, true);
        return false;
    }
    if (steps.pipeline)
        steps.pipeline->AddRecord(body.Data(), body.Size(), recordName, className, sourceTime);
    else
        archive->AddRecord(body.Data(), body.Size(), recordName, className, sourceTime.Low(), sourceTime.High());
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
