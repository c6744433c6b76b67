// The helper threads of one parallel asset compile. Each thread has its own
// registry of asset types: a registered instance is filled by every load, so
// two builds that run at once cannot share one.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace mw {

class AssetRegistry;
class IToolContext;

class CompileJobs
{
public:
    using Job = std::function<void(AssetRegistry& registry)>;

    // typeContext: what the asset types are registered with.
    CompileJobs(int threads, const IToolContext& typeContext);
    // Waits for the jobs that were started, then ends the threads.
    ~CompileJobs();
    CompileJobs(const CompileJobs&) = delete;
    CompileJobs& operator=(const CompileJobs&) = delete;

    // Runs job on the next free thread.
    void Start(Job job);
    // Returns once a job has ended since the previous call (at once when
    // one already has).
    void WaitForAnEnd();

private:
    void Work(AssetRegistry& registry);

    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_ended;
    std::deque<Job> m_queue;
    int m_endedSinceWait = 0;
    bool m_closing = false;
    std::vector<std::unique_ptr<AssetRegistry>> m_registries;
    std::vector<std::thread> m_threads;
};

} // namespace mw
