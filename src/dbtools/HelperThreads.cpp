// The helper threads of one operation.
#include "HelperThreads.h"

namespace mw {

HelperThreads::HelperThreads(int count)
{
    m_threads.reserve(size_t(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i)
        m_threads.emplace_back([this, i] { Run(i); });
}

HelperThreads::~HelperThreads()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    m_wake.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

std::future<void> HelperThreads::Submit(Task task)
{
    std::packaged_task<void(int)> packaged(std::move(task));
    std::future<void> done = packaged.get_future();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(std::move(packaged));
    }
    m_wake.notify_one();
    return done;
}

void HelperThreads::Run(int helper)
{
    for (;;)
    {
        std::packaged_task<void(int)> task;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping)
                return;
            task = std::move(m_queue.front());
            m_queue.pop_front();
        }
        task(helper);
    }
}

} // namespace mw
