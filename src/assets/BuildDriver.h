// The build driver: Build and Rebuild All compile every out-of-date asset and
// then the database, clean output that no input produces any more, and
// report error and warning counts and the build time.
#pragma once

#include "ArchivePacking.h"
#include "BuildCacheKey.h"
#include "BuildOutcome.h"
#include "UnassociatedFiles.h"

#include <functional>
#include <string>
#include <vector>

namespace mw {

class Asset;
class AssetRegistry;
class BuildCache;
class IToolContext;
class IWorkspaceContext;
class WalkedFiles;

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
    // file or one of its source files, and brings the output into its
    // archive; false on failure.
    bool CompileAsset(const std::string& assetPath, const std::string& outputPath, bool force);
    // Calls step for every file below assetDir with the matching path below
    // outputDir; the number of calls that returned false. Stops before the
    // next file when cancelled.
    int WalkFiles(const std::string& assetDir, const std::string& outputDir, bool force, const FileStep& step);

    // The build folder path an asset root compiles into: its first "assets/"
    // becomes "resources/", the root lower-cased.
    std::string OutputFolder(const std::string& assetRoot) const;

    unsigned WarningCount() const { return m_warnings; }
    // How the last Build or Rebuild All ended (its last log line).
    const BuildOutcome& Outcome() const { return m_outcome; }
    // Whether BuildAll ends its log with the outcome line (quiet mode keeps
    // the log that build scripts read unchanged, so it leaves it out).
    void SetOutcomeLogged(bool logged) { m_outcomeLogged = logged; }
    // Network mode warns about source files not under source control.
    void SetNetwork(bool network) { m_network = network; }
    void SetUnassociatedPolicy(UnassociatedPolicy policy) { m_unassociatedPolicy = policy; }
    // Logs why each asset is rebuilt.
    void SetExplain(bool explain) { m_explain = explain; }
    bool Explain() const { return m_explain; }
    void SetProgress(Progress progress) { m_progress = std::move(progress); }
    // How many compilers run at once (0: one per core, 1: one asset after
    // the other). Outputs, archives, counts and each asset's log lines are
    // the same for every number; only the order of the assets in the log
    // may differ.
    void SetJobs(int jobs) { m_jobs = jobs < 0 ? 1 : jobs; }
    int Jobs() const { return m_jobs; }
    // The number SetJobs(0) stands for.
    static int DefaultJobs();
    // Compiler runs are looked up in and stored to this cache; null: none.
    void SetCache(BuildCache* cache) { m_cache = cache; }
    BuildCache* Cache() const { return m_cache; }
    // Set once unassociated files were dealt with in this run.
    bool UnassociatedDone() const { return m_unassociatedDone; }

private:
    struct AssetPlan;
    struct AssetSlot;

    // Loads the asset (its messages go to log) and decides whether it must
    // be built; false when it cannot be loaded.
    bool PlanAsset(IToolContext& log, const std::string& assetPath, const std::string& outputPath, bool force,
                   AssetPlan& plan);
    // Why the asset must be built; empty when it is up to date (output then
    // holds what the output's look found).
    std::string OutOfDateReason(const Asset& asset, const std::string& assetPath, const std::string& outputPath,
                                bool force, FileInfo& output) const;
    // The build of one out-of-date asset: runs the type's Build through
    // context and removes what a failing build left behind.
    // Through the build cache when there is one.
    bool RunAssetBuild(Asset& asset, IToolContext& context, const std::string& assetPath,
                       const std::string& outputPath);
    // After a successful build: notes the output (as the build left it) for
    // its archive and warns about unversioned sources.
    void FinishBuiltAsset(const std::string& assetPath, const std::string& outputPath, const FileInfo& output,
                          const std::vector<std::string>& sources);
    int CompileInOrder(const std::vector<std::string>& files, bool listed, const std::string& assetFolder,
                       const std::string& outputFolder, bool force);
    int CompileInParallel(const std::vector<std::string>& files, bool listed, const std::string& assetFolder,
                          const std::string& outputFolder, bool force, int jobs);
    void WarnUnversionedSources(const std::vector<std::string>& sources, const std::string& assetPath);
    void BeginCacheCounts();
    void LogCacheCounts();

    IWorkspaceContext& m_context;
    AssetRegistry& m_registry;
    unsigned m_warnings = 0;
    BuildOutcome m_outcome;
    bool m_outcomeLogged = true;
    bool m_network = false;
    bool m_explain = false;
    bool m_unassociatedDone = false;
    UnassociatedPolicy m_unassociatedPolicy = UnassociatedPolicy::Ask;
    Progress m_progress;
    int m_jobs = 1;
    // The outputs of the running asset compile, packed at its end; null
    // while none runs, so a lone CompileAsset packs at once.
    ArchivePacking* m_packing = nullptr;
    BuildCache* m_cache = nullptr;
    // Asset files read by the running Build's walk, below m_walkedAssetFolder;
    // null when no unassociated-files scan follows.
    WalkedFiles* m_walkedAssets = nullptr;
    std::string m_walkedAssetFolder;
    // The workspace folders cache keys are made from, taken when a compile starts.
    BuildFolders m_cacheFolders;
};

} // namespace mw
