// The build driver.
#include "BuildDriver.h"

#include <algorithm>

#include "Asset.h"
#include "AssetJobContext.h"
#include "ProgramSlots.h"
#include "AssetRegistry.h"
#include "BuildStatistics.h"
#include "BuildCacheKey.h"
#include "CachingToolContext.h"
#include "CompileJobs.h"
#include "ResourceArchives.h"
#include "buildcache/BuildCache.h"
#include "context/IWorkspaceContext.h"
#include "dbtools/ConflictedFiles.h"
#include "dbtools/DatabaseCompile.h"
#include "dbtools/WalkedFiles.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace mw {

// What the walk found out about one asset before building it.
struct BuildDriver::AssetPlan
{
    Asset* asset = nullptr; // the registry's instance, valid until its next load
    std::string bytes;      // the asset file
    std::string reason;     // why it is built; empty when up to date
    FileInfo output;        // the output as found, when up to date
    std::vector<std::string> sources;
};

// One asset of a parallel compile, from its plan to the moment its lines
// are handed on.
struct BuildDriver::AssetSlot
{
    explicit AssetSlot(const AssetJobContext& settings) : job(settings, AssetJobContext::OnStop::End) {}

    int index = 0; // in the walk's list
    std::string assetPath;
    std::string outputPath;
    std::string file;
    std::string scratch; // the build's scratch file, or empty
    AssetJobContext job;
    AssetPlan plan;
    bool loaded = false;
    bool building = false;
    bool built = false;
    bool skipped = false; // its turn came after Stop
    FileInfo builtOutput; // the output a successful build wrote, looked at on the helper
    std::atomic<bool> ended{false};
};

namespace {

// Hidden entries (".svn", ".keep", editors' temporary files) are no assets.
bool IsHidden(const std::string& name) { return !name.empty() && name[0] == '.'; }

bool HasHiddenComponent(const std::string& relativePath)
{
    for (const std::string& component : SplitText(ToForwardSlashes(relativePath), '/'))
        if (IsHidden(component))
            return true;
    return false;
}

void CollectFiles(const std::string& folder, const std::string& relative, std::vector<std::string>& files)
{
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder + relative, entries))
        return;
    for (const FolderEntry& entry : entries)
    {
        if (IsHidden(entry.name))
            continue;
        if (entry.isFolder)
            CollectFiles(folder, relative + entry.name + "/", files);
        else
            files.push_back(relative + entry.name);
    }
}

// True when path lies below folder (given without its last separator).
bool IsInFolderNoCase(std::string_view path, std::string_view folder)
{
    return path.size() > folder.size() && IsSeparator(path[folder.size()]) &&
           EqualsNoCase(path.substr(0, folder.size()), folder);
}

// "by 2.500 s": how much later one time is than another.
std::string NewerBy(FileTime later, FileTime earlier)
{
    return Format("by %.3f s", double(later.value - earlier.value) / 1e7);
}

} // namespace

std::string BuildDriver::OutputFolder(const std::string& assetRoot) const
{
    std::string root = ToLowerAscii(assetRoot);
    size_t assets = root.find("assets/");
    if (assets != std::string::npos)
        root.replace(assets, std::string("assets/").size(), "resources/");
    return m_context.GetBuildDir() + root;
}

int BuildDriver::BuildAll(bool force, bool beginOperation)
{
    if (beginOperation)
        m_context.BeginOperation();
    uint64_t start = TickCountMs();
    m_warnings = 0;
    BeginCacheCounts();
    std::string prefix = m_context.GetModPrefix();
    m_outcome.Begin(DatabaseArchivePath(m_context, prefix + "database/"));
    // The first build of a run looks for unassociated files afterwards: what
    // the compiles find on their walks spares that scan looking again.
    WalkedFiles walkedAssets;
    WalkedFiles walkedDatabase;
    bool scan = !m_unassociatedDone;
    if (scan)
    {
        m_walkedAssets = &walkedAssets;
        m_walkedAssetFolder = m_context.GetWorkingDir() + prefix + "assets/";
    }
    int errors = CompileAssets(prefix + "assets/", force, false);
    m_walkedAssets = nullptr;
    errors += CompileDatabase(m_context, prefix + "database/", force, false, DefaultCompileHelperThreads(),
                              scan ? &walkedDatabase : nullptr);
    if (scan)
    {
        bool listOnly = m_unassociatedPolicy == UnassociatedPolicy::ListOnly;
        UnassociatedFiles cleaner(m_context, m_unassociatedPolicy == UnassociatedPolicy::YesToAll,
                                  listOnly ? UnassociatedFiles::Mode::ListOnly : UnassociatedFiles::Mode::Delete);
        cleaner.SetWalked(&walkedAssets, &walkedDatabase);
        cleaner.DeleteUnassociated(prefix);
        m_unassociatedDone = true;
    }
    uint64_t elapsed = TickCountMs() - start;
    LogCacheCounts();
    if (errors != 0)
    {
        m_context.Log("", true, false);
        m_context.Log(Format("%d error(s) %d warning(s)", errors, int(m_warnings)), true, false);
    }
    else if (m_context.IsCancelled())
    {
        m_context.Log("Build cancelled by user", true, false);
        m_context.Log("", true, false);
    }
    m_context.Log("Build time " + FormatMinutesSeconds(elapsed), true, false);
    m_outcome.End(errors, m_warnings, m_context.IsCancelled());
    if (m_outcomeLogged)
        m_context.Log(m_outcome.Line(), true, errors != 0);
    m_context.ResetCancel();
    m_context.EndOperation();
    return errors;
}

int BuildDriver::CompileAssets(const std::string& assetRoot, bool force, bool beginOperation)
{
    if (beginOperation)
    {
        m_context.BeginOperation();
        BeginCacheCounts();
    }
    DeleteStatisticsFiles(m_context, m_registry);
    m_context.Log("Compiling assets...", true, false);
    std::string assetFolder = m_context.GetWorkingDir() + assetRoot;
    std::string outputFolder = OutputFolder(assetRoot);
    if (!EnsureFolders(outputFolder))
    {
        m_context.Log(Format("Error creating directory: %s", outputFolder.substr(0, 255).c_str()), true, false);
        // Nothing can be built: one error, so the build cannot end as a success.
        return 1;
    }
    m_warnings = 0;

    std::vector<std::string> files;
    m_context.SourceControl().GetFilesUnderDirectory(assetRoot, files);
    bool listed = !files.empty();
    if (!listed)
        CollectFiles(assetFolder, "", files);
    // Hidden files (a folder's .keep, say) are no assets: neither built nor
    // counted in the progress.
    files.erase(std::remove_if(files.begin(), files.end(), [](const std::string& file) { return HasHiddenComponent(file); }),
                files.end());
    // Files a sync left in conflict are never built: each is an error.
    int conflicted = ConflictedFiles(m_context, assetRoot).Exclude(files);
    ArchivePacking packing;
    m_packing = &packing;
    m_cacheFolders = BuildFolders::Of(m_context);
    int jobs = m_jobs == 0 ? DefaultJobs() : m_jobs;
    int errors = conflicted;
    errors += jobs > 1 ? CompileInParallel(files, listed, assetFolder, outputFolder, force, jobs)
              : CompileInOrder(files, listed, assetFolder, outputFolder, force);
    m_packing = nullptr;
    if (m_progress)
        m_progress(int(files.size()), int(files.size()), std::string());
    // Every output that is current is brought into its archive, including
    // those an earlier build compiled but never packed.
    errors += packing.PackStale(m_context);
    if (m_context.IsCancelled())
        m_outcome.MarkCancelled();
    m_context.ResetCancel();
    if (beginOperation)
        LogCacheCounts();
    m_context.Log("Done.", true, false);
    return errors;
}

int BuildDriver::WalkFiles(const std::string& assetDir, const std::string& outputDir, bool force, const FileStep& step)
{
    std::vector<FolderEntry> entries;
    if (!ListFolder(assetDir, entries))
        return 0;
    int failures = 0;
    for (const FolderEntry& entry : entries)
    {
        if (entry.isFolder)
        {
            failures += WalkFiles(assetDir + entry.name + "/", outputDir + entry.name + "/", force, step);
            continue;
        }
        if (m_context.IsCancelled())
            return failures;
        if (!step(assetDir + entry.name, outputDir + entry.name, force))
            ++failures;
    }
    return failures;
}

int BuildDriver::DefaultJobs()
{
    unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : int(cores);
}

int BuildDriver::CompileInOrder(const std::vector<std::string>& files, bool listed, const std::string& assetFolder,
                                const std::string& outputFolder, bool force)
{
    int errors = 0;
    int total = int(files.size());
    for (int done = 0; done < total; ++done)
    {
        const std::string& file = files[size_t(done)];
        // The walk stops before the next file; a listed build after the current one.
        if (!listed && m_context.IsCancelled())
            break;
        if (HasHiddenComponent(file))
            continue;
        if (m_progress)
            m_progress(done, total, file);
        if (!CompileAsset(assetFolder + file, outputFolder + file, force))
            ++errors;
        m_outcome.SetProgress(done + 1, total);
        if (listed && m_context.IsCancelled())
            break;
    }
    return errors;
}

int BuildDriver::CompileInParallel(const std::vector<std::string>& files, bool listed, const std::string& assetFolder,
                                   const std::string& outputFolder, bool force, int jobs)
{
    // The walk plans each asset on this thread (loading it and looking at
    // its files is quick) and hands the ones to build to the helpers. Each
    // asset's lines are kept apart and handed on here, in the walk's order,
    // and the output is noted for packing at the same moment, so the log,
    // the counts and the archives are those of a serial compile.
    // The helpers' asset types read folder settings while they load; they
    // read this copy, taken here, rather than the application's. Every
    // job's programs hold one of the jobs slots while they run.
    ProgramSlots programs(jobs);
    AssetJobContext typeContext(m_context);
    typeContext.LimitPrograms(&programs);
    // One helper more than compilers: while jobs compilers run, the next
    // job's own work (a copy, or what a job does before and after its
    // compiler) goes on, and a core freed by a compiler that ends is taken
    // without waiting for a helper to be woken.
    const int threads = jobs + 1;
    CompileJobs helpers(threads, typeContext);
    std::deque<std::unique_ptr<AssetSlot>> window;
    // As many builds again wait their turn as run: a helper whose build ends
    // takes the next at once, without waiting for this thread to be given
    // a core by the programs that run.
    const int queued = 2 * threads;
    int started = 0;
    std::atomic<int> endedJobs{0};
    auto running = [&]() { return started - endedJobs.load(); };
    int errors = 0;
    int total = int(files.size());
    int handedOn = 0;
    // An archive whose outputs are all handed on is packed on a helper while
    // the compiles of the next folder go on. Not when the list comes back to
    // its folder later (a listing not grouped by folder): a build would
    // write into the folder while it is packed, and the archive, packed
    // twice, would hold its entries in another order than a serial build's.
    m_packing->PackBeside(m_context, [&](const std::string& base, std::function<void()> task) {
        // The output being noted is the front one's, of the next archive.
        if (window.empty())
            return false;
        size_t next = size_t(window.front()->index) + 1;
        if (base.size() < outputFolder.size())
            return false; // every file of the list is in this one archive
        std::string_view folder = std::string_view(base).substr(outputFolder.size());
        for (size_t later = next; later < files.size(); ++later)
            if (IsInFolderNoCase(files[later], folder))
                return false;
        ++started;
        helpers.Start([task = std::move(task), &endedJobs, &programs](AssetRegistry&) {
            {
                // The archive tool is one of the programs at once.
                ProgramSlots::Held slot(&programs);
                task();
            }
            ++endedJobs;
        });
        return true;
    });

    auto handOnEnded = [&]() {
        while (!window.empty() && (!window.front()->building || window.front()->ended.load()))
        {
            AssetSlot& slot = *window.front();
            slot.job.HandOnLines();
            if (slot.building && !slot.skipped)
                m_outcome.CountCompiled();
            // An asset whose compiler Stop ended is skipped, as the serial
            // walk skips the assets after the current one: no error. So is
            // one whose turn came after Stop.
            if (!slot.loaded || (slot.building && !slot.built && !slot.job.Stopped() && !slot.skipped))
                ++errors;
            else if (slot.building && slot.built)
                FinishBuiltAsset(slot.assetPath, slot.outputPath, slot.builtOutput, slot.plan.sources);
            else if (!slot.building)
                m_packing->Note(slot.outputPath, slot.plan.output);
            ++handedOn;
            m_outcome.SetProgress(handedOn, total);
            if (m_progress)
                m_progress(handedOn, total, slot.file);
            window.pop_front();
        }
    };
    auto scratchInUse = [&](const std::string& scratch) {
        for (const std::unique_ptr<AssetSlot>& other : window)
            if (other->building && !other->ended.load() && !other->scratch.empty() &&
                EqualsNoCase(ToForwardSlashes(other->scratch), ToForwardSlashes(scratch)))
                return true;
        return false;
    };

    for (int index = 0; index < total; ++index)
    {
        const std::string& file = files[size_t(index)];
        if (!listed && m_context.IsCancelled())
            break;
        if (HasHiddenComponent(file))
        {
            ++handedOn;
            continue;
        }
        auto slot = std::make_unique<AssetSlot>(typeContext);
        slot->index = index;
        slot->file = file;
        slot->assetPath = assetFolder + file;
        slot->outputPath = outputFolder + file;
        slot->loaded = PlanAsset(slot->job, slot->assetPath, slot->outputPath, force, slot->plan);
        if (slot->loaded && !slot->plan.reason.empty())
        {
            // Two builds that share a scratch file never overlap.
            std::string scratch = slot->plan.asset->GetBuildScratchFile(slot->outputPath);
            while (running() >= queued || (!scratch.empty() && scratchInUse(scratch)))
            {
                helpers.WaitForAnEnd();
                handOnEnded();
            }
            // Stop while waiting for a free compiler: this asset is not begun.
            if (m_context.IsCancelled())
                break;
            slot->scratch = scratch;
            slot->building = true;
            ++started;
            AssetSlot* job = slot.get();
            helpers.Start([this, job, &endedJobs](AssetRegistry& registry) {
                // Stop before this build's turn came: it is not begun, and
                // leaves no line, as in the serial walk.
                if (m_context.IsCancelled())
                    job->skipped = true;
                else
                {
                    job->job.Log(job->outputPath, true, false);
                    if (m_explain)
                        job->job.Log("explain: " + job->plan.reason, true, false);
                    AssetHeader header;
                    Asset* asset = registry.LoadAssetBytes(job->job, job->plan.bytes, job->assetPath, header);
                    job->built = asset && RunAssetBuild(*asset, job->job, job->assetPath, job->outputPath);
                    if (job->built && !GetFileInfo(job->outputPath, job->builtOutput))
                        job->builtOutput = FileInfo();
                }
                job->ended.store(true);
                ++endedJobs;
            });
        }
        // The registry's instance is filled again by the next load.
        slot->plan.asset = nullptr;
        window.push_back(std::move(slot));
        handOnEnded();
        if (listed && m_context.IsCancelled())
            break;
    }
    while (running() > 0)
    {
        helpers.WaitForAnEnd();
        handOnEnded();
    }
    handOnEnded();
    // The helpers end with this call.
    m_packing->PackBeside(m_context, nullptr);
    return errors;
}

std::string BuildDriver::OutOfDateReason(const Asset& asset, const std::string& assetPath,
                                         const std::string& outputPath, bool force, FileInfo& output) const
{
    if (force)
        return "forced";
    if (!GetFileInfo(outputPath, output))
        return "output missing";
    FileInfo assetFile;
    if (!GetFileInfo(assetPath, assetFile))
        return "asset file unreadable";
    if (assetFile.lastWrite > output.lastWrite)
        return "asset file newer than the output " + NewerBy(assetFile.lastWrite, output.lastWrite);
    std::string sourceDir = m_context.GetSourceDir();
    for (int i = 0; i < asset.GetSourceCount(); ++i)
    {
        std::optional<std::string> source = asset.GetSourceFile(i);
        if (!source || source->empty())
            continue;
        FileInfo sourceFile;
        if (!GetFileInfo(sourceDir + *source, sourceFile))
            return "source file missing: " + sourceDir + *source;
        if (sourceFile.lastWrite > output.lastWrite)
            return "source file " + sourceDir + *source + " newer than the output " +
                   NewerBy(sourceFile.lastWrite, output.lastWrite);
    }
    return std::string();
}

bool BuildDriver::PlanAsset(IToolContext& log, const std::string& assetPath, const std::string& outputPath, bool force,
                            AssetPlan& plan)
{
    AssetHeader header;
    if (!ReadWholeFile(assetPath, plan.bytes))
    {
        log.Log(Format("%s: Unable to open file.", assetPath.c_str()), true, false);
        return false;
    }
    if (m_walkedAssets && assetPath.compare(0, m_walkedAssetFolder.size(), m_walkedAssetFolder) == 0)
        m_walkedAssets->Add(std::string_view(assetPath).substr(m_walkedAssetFolder.size()));
    plan.asset = m_registry.LoadAssetBytes(log, plan.bytes, assetPath, header);
    if (!plan.asset)
        return false;
    plan.reason = OutOfDateReason(*plan.asset, assetPath, outputPath, force, plan.output);
    if (m_network)
        for (int i = 0; i < plan.asset->GetSourceCount(); ++i)
        {
            std::optional<std::string> source = plan.asset->GetSourceFile(i);
            if (source && !source->empty())
                plan.sources.push_back(*source);
        }
    return true;
}

void BuildDriver::BeginCacheCounts()
{
    if (m_cache)
        m_cache->BeginBuild();
}

void BuildDriver::LogCacheCounts()
{
    // A build that looked nothing up (nothing out of date), or had no usable
    // cache (already warned about), has nothing to count.
    if (m_cache && m_cache->Hits() + m_cache->Misses() > 0 && m_cache->Usable())
        m_context.Log(Format("Cache: %d hit(s) %d miss(es)", m_cache->Hits(), m_cache->Misses()), true, false);
}

bool BuildDriver::RunAssetBuild(Asset& asset, IToolContext& context, const std::string& assetPath,
                                const std::string& outputPath)
{
    std::string outputFolder = ParentPath(outputPath);
    if (!outputFolder.empty() && !EnsureFolders(outputFolder))
    {
        context.Log(Format("Error creating directory: %s", outputFolder.substr(0, 255).c_str()), true, true);
        return false;
    }
    bool built;
    if (m_cache)
    {
        // The folders were taken on the build's thread; this may run on a helper.
        CachingToolContext cached(context, m_cacheFolders, *m_cache, asset, assetPath, outputPath);
        built = asset.Build(cached, outputPath);
        cached.Finish(built);
    }
    else
        built = asset.Build(context, outputPath);
    if (built)
        return true;
    // What a failing or stopped compiler left behind is no output: without
    // it the next build tries this asset again.
    if (PathExists(outputPath))
    {
        MakeWritable(outputPath);
        RemoveFile(outputPath);
    }
    return false;
}

void BuildDriver::FinishBuiltAsset(const std::string& assetPath, const std::string& outputPath,
                                   const FileInfo& output, const std::vector<std::string>& sources)
{
    m_packing->Note(outputPath, output, true);
    if (m_network)
        WarnUnversionedSources(sources, assetPath);
}

bool BuildDriver::CompileAsset(const std::string& assetPath, const std::string& outputPath, bool force)
{
    // A lone compile (not inside CompileAssets) packs its output at once.
    ArchivePacking ownPacking;
    bool alone = m_packing == nullptr;
    if (alone)
    {
        m_packing = &ownPacking;
        m_cacheFolders = BuildFolders::Of(m_context);
    }
    AssetPlan plan;
    bool result = PlanAsset(m_context, assetPath, outputPath, force, plan);
    if (result && plan.reason.empty())
        m_packing->Note(outputPath, plan.output);
    else if (result)
    {
        m_outcome.CountCompiled();
        m_context.Log(outputPath, true, false);
        if (m_explain)
            m_context.Log("explain: " + plan.reason, true, false);
        result = RunAssetBuild(*plan.asset, m_context, assetPath, outputPath);
        if (result)
        {
            FileInfo output;
            if (!GetFileInfo(outputPath, output))
                output = FileInfo();
            FinishBuiltAsset(assetPath, outputPath, output, plan.sources);
        }
    }
    if (alone)
    {
        m_packing = nullptr;
        if (ownPacking.PackStale(m_context) != 0)
            result = false;
    }
    return result;
}

void BuildDriver::WarnUnversionedSources(const std::vector<std::string>& sources, const std::string& assetPath)
{
    SourceControlClient& sourceControl = m_context.SourceControl();
    const std::string& clientFolder = sourceControl.GetClientDirectory();
    FileStatus status;
    if (sourceControl.GetFileStatus(ToBackslashes(StripPathPrefix(assetPath, clientFolder)), status) == 1)
        return;
    // The source folder relative to the client folder: "source\" for the
    // main mod, the custom map's own source folder otherwise.
    std::string sourceFolder = StripPathPrefix(m_context.GetSourceDir(), clientFolder);
    bool first = true;
    for (const std::string& source : sources)
    {
        std::string path = ToBackslashes(sourceFolder + source);
        if (sourceControl.GetFileStatus(path, status) != 1)
            continue;
        if (first)
            m_context.Log(assetPath, true, false);
        first = false;
        m_context.Log(Format("WARNING Referenced file is not under source control: %s", path.c_str()), true, false);
        ++m_warnings;
    }
}

} // namespace mw
