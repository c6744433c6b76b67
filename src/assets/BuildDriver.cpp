// The build driver.
#include "BuildDriver.h"

#include "Asset.h"
#include "AssetRegistry.h"
#include "BuildStatistics.h"
#include "CachingToolContext.h"
#include "ResourceArchives.h"
#include "buildcache/BuildCache.h"
#include "context/IWorkspaceContext.h"
#include "dbtools/DatabaseCompile.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <vector>

namespace mw {
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
    int errors = CompileAssets(prefix + "assets/", force, false);
    // A database build folder that cannot be made means nothing was written:
    // the compile reports it, and it counts as an error of the build.
    if (!EnsureFolders(m_context.GetBuildDir() + prefix + "database/"))
        ++errors;
    errors += CompileDatabase(m_context, prefix + "database/", force, false);
    if (!m_unassociatedDone)
    {
        bool listOnly = m_unassociatedPolicy == UnassociatedPolicy::ListOnly;
        UnassociatedFiles cleaner(m_context, m_unassociatedPolicy == UnassociatedPolicy::YesToAll,
                                  listOnly ? UnassociatedFiles::Mode::ListOnly : UnassociatedFiles::Mode::Delete);
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
        if (listed && m_context.IsCancelled())
            break;
    }
    if (m_progress)
        m_progress(total, total, std::string());
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

std::string BuildDriver::OutOfDateReason(const Asset& asset, const std::string& assetPath,
                                         const std::string& outputPath, bool force) const
{
    if (force)
        return "forced";
    FileInfo output;
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

bool BuildDriver::CompileAsset(const std::string& assetPath, const std::string& outputPath, bool force)
{
    AssetHeader header;
    Asset* asset = m_registry.LoadAsset(m_context, assetPath, header);
    if (!asset)
        return false;
    std::string reason = OutOfDateReason(*asset, assetPath, outputPath, force);
    if (reason.empty())
        return true;

    m_context.Log(outputPath, true, false);
    if (m_explain)
        m_context.Log("explain: " + reason, true, false);
    std::string outputFolder = ParentPath(outputPath);
    if (!outputFolder.empty() && !EnsureFolders(outputFolder))
    {
        m_context.Log(Format("Error creating directory: %s", outputFolder.substr(0, 255).c_str()), true, true);
        return false;
    }
    bool built;
    if (m_cache)
    {
        CachingToolContext cached(m_context, *m_cache, *asset, assetPath, outputPath);
        built = asset->Build(cached, outputPath);
        cached.Finish(built);
    }
    else
        built = asset->Build(m_context, outputPath);
    if (!built)
    {
        // What a failing compiler left behind is no output: without it the
        // next build tries this asset again.
        if (PathExists(outputPath))
        {
            MakeWritable(outputPath);
            RemoveFile(outputPath);
        }
        return false;
    }
    if (!UpdateArchiveFile(m_context, outputPath))
        m_context.Log("Error updating file in archive", true, true);
    if (m_network)
        WarnUnversionedSources(*asset, assetPath);
    return true;
}

void BuildDriver::BeginCacheCounts()
{
    if (m_cache)
        m_cache->BeginBuild();
}

void BuildDriver::LogCacheCounts()
{
    // A build that looked nothing up (nothing out of date) has nothing to count.
    if (m_cache && m_cache->Hits() + m_cache->Misses() > 0)
        m_context.Log(Format("Cache: %d hit(s) %d miss(es)", m_cache->Hits(), m_cache->Misses()), true, false);
}

void BuildDriver::WarnUnversionedSources(const Asset& asset, const std::string& assetPath)
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
    for (int i = 0; i < asset.GetSourceCount(); ++i)
    {
        std::optional<std::string> source = asset.GetSourceFile(i);
        if (!source || source->empty())
            continue;
        std::string path = ToBackslashes(sourceFolder + *source);
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
