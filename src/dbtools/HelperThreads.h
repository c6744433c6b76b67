// A few threads that run pure work for one operation (reading and parsing
// records ahead, compressing bodies). They start with the object and are
// joined when it is destroyed, so they never outlive the operation; tasks
// touch only what the operation hands them.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace mw {

class HelperThreads
{
public:
    // A task is told which helper runs it (0 to Count() - 1), so it can use
    // per-helper state such as a compressor.
    using Task = std::function<void(int helper)>;

    explicit HelperThreads(int count);
    // Tasks not yet started are dropped; running ones finish first.
    ~HelperThreads();
    HelperThreads(const HelperThreads&) = delete;
    HelperThreads& operator=(const HelperThreads&) = delete;

    int Count() const { return int(m_threads.size()); }
    // Queues the task (tasks start in the order queued); the future is ready
    // when it has run.
    std::future<void> Submit(Task task);

private:
    void Run(int helper);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::packaged_task<void(int)>> m_queue;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace mw
