// Helper threads that run asset builds.
#include "CompileJobs.h"

#include "AssetRegistry.h"
#include "AssetTypes.h"

namespace mw {

CompileJobs::CompileJobs(int threads, const IToolContext& typeContext)
{
    for (int i = 0; i < threads; ++i)
    {
        m_registries.push_back(std::make_unique<AssetRegistry>());
        RegisterAssetTypes(*m_registries.back(), typeContext);
    }
    for (const std::unique_ptr<AssetRegistry>& registry : m_registries)
        m_threads.emplace_back([this, &registry] { Work(*registry); });
}

CompileJobs::~CompileJobs()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_work.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void CompileJobs::Start(Job job)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(std::move(job));
    }
    m_work.notify_one();
}

void CompileJobs::WaitForAnEnd()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_ended.wait(lock, [this] { return m_endedSinceWait > 0; });
    m_endedSinceWait = 0;
}

void CompileJobs::Work(AssetRegistry& registry)
{
    for (;;)
    {
        Job job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_work.wait(lock, [this] { return m_closing || !m_queue.empty(); });
            // Jobs already started are run to their end before the threads close.
            if (m_queue.empty())
                return;
            job = std::move(m_queue.front());
            m_queue.pop_front();
        }
        job(registry);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_endedSinceWait;
        }
        m_ended.notify_all();
    }
}

} // namespace mw
