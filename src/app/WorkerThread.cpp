// The worker thread.
#include "WorkerThread.h"

#include <chrono>

namespace mw {

WorkerThread::~WorkerThread()
{
    if (m_thread.joinable())
        m_thread.join();
}

bool WorkerThread::Start(const std::string& operationName, std::function<void()> body)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_running)
        return false;
    // The previous thread has finished its body; collect it before the next one.
    if (m_thread.joinable())
    {
        lock.unlock();
        m_thread.join();
        lock.lock();
    }
    m_running = true;
    m_operationName = operationName;
    m_done = 0;
    m_total = 0;
    m_thread = std::thread([this, body = std::move(body)] {
        body();
        {
            std::lock_guard<std::mutex> guard(m_mutex);
            m_running = false;
        }
        m_ended.notify_all();
        if (m_onFinished)
            m_onFinished();
    });
    return true;
}

bool WorkerThread::IsRunning() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_running;
}

std::string WorkerThread::OperationName() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_operationName;
}

bool WorkerThread::WaitForEnd(unsigned timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_ended.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !m_running; });
}

void WorkerThread::SetProgress(size_t done, size_t total)
{
    m_total = total;
    m_done = done;
}

void WorkerThread::GetProgress(size_t& done, size_t& total) const
{
    total = m_total;
    done = m_done;
}

} // namespace mw
