// Database sync and record check.
#include "DatabaseSync.h"

#include "DatabaseOperation.h"
#include "RecordTemplateCache.h"
#include "context/IWorkspaceContext.h"
#include "dbtext/DbRecord.h"
#include "dbtext/DbTemplate.h"
#include "dbtext/RecordValueWarnings.h"
#include "dbtext/TemplateBinding.h"
#include "platform/Clock.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

namespace mw {
namespace {

int RunOverRecords(IWorkspaceContext& context, const char* heading, const DatabaseOperationTexts& texts,
                   const std::function<bool(const std::string&)>& visit)
{
    context.BeginOperation();
    uint64_t start = TickCountMs();
    context.Log(heading, true, false);
    WalkResult result;
    WalkDatabaseWithClosingLines(context, start, texts, &visit, &result);
    return result.errors;
}

} // namespace

int DbSync(IWorkspaceContext& context)
{
    DatabaseOperationTexts texts{"DbSync cancelled by user", "Database Sync time %d:%02d", true, false};
    RecordTemplateCache cache;
    return RunOverRecords(context, "Syncing database...", texts,
                          [&](const std::string& path) { return DbSyncRecord(context, path, &cache); });
}

int DbCheckRecords(IWorkspaceContext& context)
{
    DatabaseOperationTexts texts{"DbCheckRecords cancelled by user", "Database Record Check time %d:%02d", false, true};
    RecordTemplateCache cache;
    std::vector<std::string> fileRoots = FileValueRoots(context);
    return RunOverRecords(context, "Checking Records...", texts, [&](const std::string& path) {
        return CheckRecord(context, path, &cache, &fileRoots);
    });
}

namespace {

bool LoadTemplateOf(IWorkspaceContext& context, const DbRecord& record, DbTemplate& dbTemplate,
                    RecordTemplateCache* cache)
{
    return cache ? cache->Load(context, record, dbTemplate) : LoadRecordTemplate(context, record, dbTemplate);
}

} // namespace

bool DbSyncRecord(IWorkspaceContext& context, const std::string& recordPath, RecordTemplateCache* cache)
{
    if (!HasLastThree(recordPath, "dbr"))
        return true;
    ScopedSourceControlLogDetach detach(context);
    std::string scPath = SourceControlPathOf(context, recordPath);
    // Checked in at the end, also when this user held it already, unless the
    // check-out said it was held.
    bool checkIn = true;
    SyncCheckOut checkOut = CheckOutForSync(context, scPath, true, checkIn);
    if (checkOut != SyncCheckOut::Proceed)
        return checkOut == SyncCheckOut::OtherUser;

    bool synced = false;
    DbRecord record;
    record.FileState().SetPrompt(&context.Prompt());
    if (record.FileState().Open(recordPath, false) == 1)
    {
        if (record.GetTemplateName().empty())
            context.Log(Format("File \"%s\" has no template, unable to synchronize", scPath.c_str()), true, true);
        else
        {
            DbTemplate dbTemplate;
            if (LoadTemplateOf(context, record, dbTemplate, cache))
            {
                BindRecord(dbTemplate, record, false, &context);
                ApplyTemplate(dbTemplate, record);
                record.FileState().Save();
                synced = true;
            }
        }
    }
    if (checkIn)
        context.SourceControl().CheckInFile(scPath);
    return synced;
}

bool CheckRecord(IWorkspaceContext& context, const std::string& recordPath, RecordTemplateCache* cache,
                 const std::vector<std::string>* fileRoots)
{
    if (!HasLastThree(recordPath, "dbr"))
        return true;
    std::string scPath = SourceControlPathOf(context, recordPath);
    DbRecord record;
    if (record.FileState().Open(recordPath, true) != 1)
        return false;
    if (record.GetTemplateName().empty())
    {
        context.Log(Format("File \"%s\" has no valid template.", scPath.c_str()), true, true);
        return false;
    }
    DbTemplate dbTemplate;
    if (!LoadTemplateOf(context, record, dbTemplate, cache))
    {
        std::string templatePath = ResolveTemplatePath(record.GetTemplateName(), context.GetWorkingDir());
        // Counted like a record without a template: the record cannot be
        // compiled against anything.
        context.Log(Format("File \"%s\": cannot open template \"%s\".", scPath.c_str(), templatePath.c_str()), true,
                    true);
        return false;
    }
    // Values that compile to something other than they say are warned about,
    // not counted: the record still builds as before.
    std::vector<std::string> roots = fileRoots ? *fileRoots : FileValueRoots(context);
    for (const RecordValueWarning& warning : FindRecordValueWarnings(dbTemplate, record, roots))
        context.Log(Format("WARNING File \"%s\": variable \"%s\" value \"%s\" %s", scPath.c_str(),
                           warning.variable.c_str(), warning.value.c_str(), warning.reason.c_str()),
                    true, false);
    return true;
}

} // namespace mw
