// The one worker thread of the main window: at most one operation runs at a
// time, under a name; the window asks whether it runs, waits for its end and
// reads how far it got.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace mw {

class WorkerThread
{
public:
    WorkerThread() = default;
    // Waits for a running operation to end.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts body on a new thread under the operation name; false (and
    // nothing started) while an operation runs.
    bool Start(const std::string& operationName, std::function<void()> body);
    bool IsRunning() const;
    // The name of the last operation started.
    std::string OperationName() const;
    // Waits up to timeoutMs for the operation to end; true when none runs.
    bool WaitForEnd(unsigned timeoutMs);

    // Called on the worker thread after each operation's body returned.
    void SetOnFinished(std::function<void()> onFinished) { m_onFinished = std::move(onFinished); }

    // How far the operation is, where it can tell (total 0: unknown).
    void SetProgress(size_t done, size_t total);
    void GetProgress(size_t& done, size_t& total) const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_ended;
    std::thread m_thread;
    bool m_running = false;
    std::string m_operationName;
    std::function<void()> m_onFinished;
    std::atomic<size_t> m_done{0};
    std::atomic<size_t> m_total{0};
};

} // namespace mw
