// The build driver: Build and Rebuild All compile every out-of-date asset and
// then the database, clean output that no input produces any more, and
// report error and warning counts and the build time.
#pragma once

#include "UnassociatedFiles.h"

#include <functional>
#include <string>

namespace mw {

class Asset;
class AssetRegistry;
class BuildCache;
class IWorkspaceContext;

class BuildDriver
{
public:
    // What becomes of unassociated files on the first build of a run.
    enum class UnassociatedPolicy
    {
        Ask,      // the confirmation for each file (windows)
        YesToAll, // deleted without asking (quiet mode)
        ListOnly, // only listed (the command-line tool)
    };

    // Progress of a long walk: files done, files to do, the current file.
    using Progress = std::function<void(int done, int total, const std::string& file)>;
    // A walk's per-file step: false counts as a failure.
    using FileStep = std::function<bool(const std::string& assetPath, const std::string& outputPath, bool force)>;

    BuildDriver(IWorkspaceContext& context, AssetRegistry& registry) : m_context(context), m_registry(registry) {}

    // Build (force false) or Rebuild All (force true); the error count.
    int BuildAll(bool force, bool beginOperation);
    // Compiles every asset below assetRoot (relative to the working folder,
    // '/'-separated, ending in '/'); the number of assets that failed.
    int CompileAssets(const std::string& assetRoot, bool force, bool beginOperation);
    // Compiles one asset when its output is missing or older than the asset
    // file or one of its source files; false on failure.
    bool CompileAsset(const std::string& assetPath, const std::string& outputPath, bool force);
    // Calls step for every file below assetDir with the matching path below
    // outputDir; the number of calls that returned false. Stops before the
    // next file when cancelled.
    int WalkFiles(const std::string& assetDir, const std::string& outputDir, bool force, const FileStep& step);

    // The build folder path an asset root compiles into: its first "assets/"
    // becomes "resources/", the root lower-cased.
    std::string OutputFolder(const std::string& assetRoot) const;

    unsigned WarningCount() const { return m_warnings; }
    // Network mode warns about source files not under source control.
    void SetNetwork(bool network) { m_network = network; }
    void SetUnassociatedPolicy(UnassociatedPolicy policy) { m_unassociatedPolicy = policy; }
    // Logs why each asset is rebuilt.
    void SetExplain(bool explain) { m_explain = explain; }
    bool Explain() const { return m_explain; }
    void SetProgress(Progress progress) { m_progress = std::move(progress); }
    // Compiler runs are looked up in and stored to this cache; null: none.
    void SetCache(BuildCache* cache) { m_cache = cache; }
    BuildCache* Cache() const { return m_cache; }
    // Set once unassociated files were dealt with in this run.
    bool UnassociatedDone() const { return m_unassociatedDone; }

private:
    // Why the asset must be built; empty when it is up to date.
    std::string OutOfDateReason(const Asset& asset, const std::string& assetPath, const std::string& outputPath,
                                bool force) const;
    void WarnUnversionedSources(const Asset& asset, const std::string& assetPath);
    void BeginCacheCounts();
    void LogCacheCounts();

    IWorkspaceContext& m_context;
    AssetRegistry& m_registry;
    unsigned m_warnings = 0;
    bool m_network = false;
    bool m_explain = false;
    bool m_unassociatedDone = false;
    UnassociatedPolicy m_unassociatedPolicy = UnassociatedPolicy::Ask;
    Progress m_progress;
    BuildCache* m_cache = nullptr;
};

} // namespace mw
