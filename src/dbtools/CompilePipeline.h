// The parallel side of one database compile. Helper threads read and parse
// records ahead of the walk and compress bodies behind it, while the walk
// itself keeps every step that logs, writes files or hands out string ids,
// in the order of a serial compile. Bodies reach the archive in the order
// they were added, so the archive written is the serial compile's.
#pragma once

#include "HelperThreads.h"
#include "platform/FileTime.h"

#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mw {

class BodyCompressor;
class DbArchive;

// A record file read, and parsed, ahead of the walk.
struct RecordAhead
{
    // False when the file was not read (it is not newer than the archive's
    // copy, or it could not be read): the walk then reads it itself if needed.
    bool read = false;
    std::string bytes;
    FileTime time; // the last-write time of the bytes read
    // The record parsed from bytes (DbRecord::ReadViews, values sorted by
    // DbRecord::SortValues): views into bytes, which therefore stay put.
    std::string_view templateName;
    std::vector<std::pair<std::string_view, std::string_view>> values;
    std::string recordName; // as the walk formed it when it started the read
    // The name's id in the archive's strings when it was there already.
    std::optional<uint32_t> nameId;
};

class CompilePipeline
{
public:
    // With no helpers nothing runs ahead and each body is compressed as it is added.
    CompilePipeline(int helperCount, DbArchive& archive);
    // Joins the helpers; call Finish first to add the bodies still pending.
    ~CompilePipeline();
    CompilePipeline(const CompilePipeline&) = delete;
    CompilePipeline& operator=(const CompilePipeline&) = delete;

    bool Parallel() const { return m_helpers.Count() > 0; }
    // Notes the record at sourcePath for walk position index (given in
    // rising order) and, when read is set, starts reading it: always when
    // force is set, otherwise only when its last-write time is later than
    // storedTime (the archive's time for it).
    void ReadAhead(size_t index, const std::string& sourcePath, std::string recordName,
                   std::optional<uint32_t> nameId, bool read, bool force, uint64_t storedTime);
    // What was read ahead for index, once it is ready; null when nothing was
    // started for it. Valid until the next call.
    RecordAhead* TakeAhead(size_t index);
    // Adds the body to the archive: in the order of these calls, compressed
    // on a helper meanwhile.
    void AddRecord(const char* body, size_t size, const std::string& name, const std::string& className,
                   FileTime time);
    // Waits for every body still being compressed and adds it.
    void Finish();

private:
    struct AheadJob
    {
        size_t index = 0;
        bool wanted = false; // to be read; the others only carry the name
        std::string sourcePath;
        bool force = false;
        uint64_t storedTime = 0;
        std::unique_ptr<RecordAhead> result;
        std::shared_future<void> done; // of the batch it went in; invalid until then
    };
    struct BodyJob
    {
        std::string body;
        std::string compressed;
        std::string name;
        std::string className;
        FileTime time;
    };
    struct PendingBody
    {
        std::unique_ptr<BodyJob> job;
        std::shared_future<void> done; // of the batch it went in; invalid until then
    };

    // Hands the jobs not yet handed out to a helper as one task: a few files
    // or bodies per task keep the threads from waking each other for each one.
    void SubmitAhead();
    void SubmitBodies();
    // Adds the finished bodies at the head of the queue; with wait set, the
    // first one is waited for.
    void AddFinishedBodies(bool wait);

    DbArchive& m_archive;
    std::vector<std::unique_ptr<BodyCompressor>> m_compressors; // one per helper
    std::deque<AheadJob> m_ahead;
    std::vector<AheadJob*> m_aheadForming; // wanted jobs of m_ahead not handed out yet
    std::unique_ptr<RecordAhead> m_taken;
    std::deque<PendingBody> m_bodies;
    size_t m_bodiesUnsubmitted = 0;
    // Declared last so that it is destroyed first: no task still runs when
    // the jobs it writes to are freed.
    HelperThreads m_helpers;
};

} // namespace mw
