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

} // namespace

RecordAhead::~RecordAhead() = default;

CompilePipeline::CompilePipeline(int helperCount, DbArchive& archive) : m_archive(archive), m_helpers(helperCount)
{
    for (int i = 0; i < m_helpers.Count(); ++i)
        m_compressors.push_back(std::make_unique<BodyCompressor>());
}

CompilePipeline::~CompilePipeline() { Finish(); }

void CompilePipeline::ReadAhead(size_t index, const std::string& sourcePath, bool force, uint64_t storedTime)
{
    if (!Parallel())
        return;
    AheadJob job;
    job.index = index;
    job.result = std::make_unique<RecordAhead>();
    RecordAhead* result = job.result.get();
    job.done = m_helpers.Submit([result, sourcePath, force, storedTime](int) {
        if (!force)
        {
            FileInfo info;
            if (!GetFileInfo(sourcePath, info) || !(info.lastWrite.value > storedTime))
                return;
        }
        result->read = ReadWholeFile(sourcePath, result->bytes, result->time);
        if (!result->read)
            return;
        auto record = std::make_unique<DbRecord>();
        if (record->FileState().OpenImage(sourcePath, result->bytes, true) == 1)
            result->record = std::move(record);
    });
    m_ahead.push_back(std::move(job));
}

RecordAhead* CompilePipeline::TakeAhead(size_t index)
{
    m_taken.reset();
    // Jobs of positions the walk passed by are waited for before they are
    // freed, since a helper may be writing to them.
    while (!m_ahead.empty() && m_ahead.front().index < index)
    {
        m_ahead.front().done.wait();
        m_ahead.pop_front();
    }
    if (m_ahead.empty() || m_ahead.front().index != index)
        return nullptr;
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
    BodyJob* work = job.get();
    std::future<void> done = m_helpers.Submit([this, work](int helper) {
        // A body zlib cannot compress is stored empty, as the archive does.
        m_compressors[size_t(helper)]->Compress(work->body.data(), work->body.size(), work->compressed);
        std::string().swap(work->body);
    });
    m_bodies.push_back({std::move(job), std::move(done)});
    AddFinishedBodies(m_bodies.size() > kMaxPendingBodies);
}

void CompilePipeline::AddFinishedBodies(bool wait)
{
    while (!m_bodies.empty())
    {
        std::future<void>& done = m_bodies.front().done;
        if (wait)
            done.wait();
        else if (done.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return;
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
