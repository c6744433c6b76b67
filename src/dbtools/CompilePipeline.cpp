// Reading ahead and compressing on helper threads during a database compile.
#include "CompilePipeline.h"

#include "dbarchive/BodyCompressor.h"
#include "dbarchive/DbArchive.h"
#include "dbtext/DbRecord.h"
#include "platform/FileSystem.h"

namespace mw {
namespace {

// Bodies waiting to be compressed or added; beyond this the walk waits, so
// the memory held stays small whatever the size of the database.
constexpr size_t kMaxPendingBodies = 256;
// Files read, or bodies compressed, per helper task.
constexpr size_t kBatch = 8;

void ReadAheadOne(const std::string& sourcePath, bool force, uint64_t storedTime, RecordAhead& result)
{
    if (!force)
    {
        FileInfo info;
        if (!GetFileInfo(sourcePath, info) || !(info.lastWrite.value > storedTime))
            return;
    }
    if (!ReadWholeFile(sourcePath, result.bytes, result.time))
        return;
    // The read leaves spare capacity (tens of KiB) behind the bytes; many
    // records wait here at once, so they keep only their bytes.
    result.bytes.shrink_to_fit();
    std::vector<std::string_view> history;
    DbRecord::ReadViews(result.bytes.data(), result.bytes.size(), result.templateName, result.values, history);
    DbRecord::SortValues(result.values);
    // Only a complete result counts: should anything above fail (memory),
    // the walk reads and parses the record itself.
    result.read = true;
}

} // namespace

CompilePipeline::CompilePipeline(int helperCount, DbArchive& archive) : m_archive(archive), m_helpers(helperCount)
{
    for (int i = 0; i < m_helpers.Count(); ++i)
        m_compressors.push_back(std::make_unique<BodyCompressor>());
}

// Bodies not added by Finish are dropped: that happens only when the walk
// ends by an exception, and then the archive is not saved.
CompilePipeline::~CompilePipeline() = default;

void CompilePipeline::ReadAhead(size_t index, const std::string& sourcePath, std::string recordName,
                                std::optional<uint32_t> nameId, bool read, bool force, uint64_t storedTime)
{
    if (!Parallel())
        return;
    AheadJob job;
    job.index = index;
    job.wanted = read;
    if (read)
        job.sourcePath = sourcePath;
    job.force = force;
    job.storedTime = storedTime;
    job.result = std::make_unique<RecordAhead>();
    job.result->recordName = std::move(recordName);
    job.result->nameId = nameId;
    m_ahead.push_back(std::move(job));
    if (!read)
        return;
    // The jobs stay where they are: a deque does not move its elements when
    // jobs are added at the back or taken from the front.
    m_aheadForming.push_back(&m_ahead.back());
    if (m_aheadForming.size() == kBatch)
        SubmitAhead();
}

void CompilePipeline::SubmitAhead()
{
    if (m_aheadForming.empty())
        return;
    std::vector<AheadJob*> batch;
    batch.swap(m_aheadForming);
    std::shared_future<void> done = m_helpers.Submit([batch](int) {
        for (AheadJob* job : batch)
            ReadAheadOne(job->sourcePath, job->force, job->storedTime, *job->result);
    });
    for (AheadJob* job : batch)
        job->done = done;
}

RecordAhead* CompilePipeline::TakeAhead(size_t index)
{
    m_taken.reset();
    // The job for index may still wait for its batch to fill.
    if (!m_aheadForming.empty() && m_aheadForming.front()->index <= index)
        SubmitAhead();
    // Jobs of positions the walk passed by are waited for before they are
    // freed, since a helper may be writing to them.
    while (!m_ahead.empty() && m_ahead.front().index < index)
    {
        if (m_ahead.front().wanted)
            m_ahead.front().done.wait();
        m_ahead.pop_front();
    }
    if (m_ahead.empty() || m_ahead.front().index != index)
        return nullptr;
    if (m_ahead.front().wanted)
        m_ahead.front().done.wait();
    m_taken = std::move(m_ahead.front().result);
    m_ahead.pop_front();
    return m_taken.get();
}

void CompilePipeline::AddRecord(const char* body, size_t size, const std::string& name, const std::string& className,
                                FileTime time)
{
    if (!Parallel())
    {
        m_archive.AddRecord(body, size, name, className, time.Low(), time.High());
        return;
    }
    auto job = std::make_unique<BodyJob>();
    job->body.assign(body, size);
    job->name = name;
    job->className = className;
    job->time = time;
    m_bodies.push_back({std::move(job), std::shared_future<void>()});
    if (++m_bodiesUnsubmitted == kBatch)
        SubmitBodies();
    AddFinishedBodies(m_bodies.size() > kMaxPendingBodies);
}

void CompilePipeline::SubmitBodies()
{
    if (m_bodiesUnsubmitted == 0)
        return;
    std::vector<BodyJob*> batch;
    for (size_t i = m_bodies.size() - m_bodiesUnsubmitted; i < m_bodies.size(); ++i)
        batch.push_back(m_bodies[i].job.get());
    std::shared_future<void> done = m_helpers.Submit([this, batch](int helper) {
        for (BodyJob* work : batch)
        {
            // A body zlib cannot compress is stored empty, as the archive does.
            m_compressors[size_t(helper)]->Compress(work->body.data(), work->body.size(), work->compressed);
            std::string().swap(work->body);
        }
    });
    for (size_t i = m_bodies.size() - m_bodiesUnsubmitted; i < m_bodies.size(); ++i)
        m_bodies[i].done = done;
    m_bodiesUnsubmitted = 0;
}

void CompilePipeline::AddFinishedBodies(bool wait)
{
    while (!m_bodies.empty())
    {
        std::shared_future<void>& done = m_bodies.front().done;
        if (!done.valid())
        {
            if (!wait)
                return;
            SubmitBodies();
        }
        if (!wait && done.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return;
        // Rethrows what compressing threw (memory), as compressing on this
        // thread would have.
        done.get();
        wait = false;
        BodyJob& job = *m_bodies.front().job;
        m_archive.AddCompressedRecord(std::move(job.compressed), job.name, job.className, job.time.Low(),
                                      job.time.High());
        m_bodies.pop_front();
    }
}

void CompilePipeline::Finish()
{
    while (!m_bodies.empty())
        AddFinishedBodies(true);
}

} // namespace mw
