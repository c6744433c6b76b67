// Templatron.
#include "Templatron.h"

#include "DatabaseOperation.h"
#include "RecordTemplateCache.h"
#include "context/IWorkspaceContext.h"
#include "dbtext/DbRecord.h"
#include "dbtext/DbTemplate.h"
#include "dbtext/TemplateBinding.h"
#include "platform/Clock.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

namespace mw {

int Templatron(IWorkspaceContext& context, const std::string& templatePath)
{
    context.BeginOperation();
    uint64_t start = TickCountMs();
    context.Log(Format("Updating all records associated with template \"%s\"", templatePath.c_str()), true, false);
    RecordTemplateCache cache;
    std::function<bool(const std::string&)> visit = [&](const std::string& path) {
        return TemplatronRecord(context, templatePath, path, &cache);
    };
    DatabaseOperationTexts texts{"Templatron cancelled by user", "Templatron processing time %d:%02d"};
    WalkResult result;
    WalkDatabaseWithClosingLines(context, start, texts, &visit, &result);
    return result.errors;
}

bool TemplatronRecord(IWorkspaceContext& context, const std::string& templatePath, const std::string& recordPath,
                      RecordTemplateCache* cache)
{
    if (!HasLastThree(recordPath, "dbr"))
        return true;
    ScopedSourceControlLogDetach detach(context);
    std::string scPath = SourceControlPathOf(context, recordPath);

    DbRecord record;
    record.FileState().SetPrompt(&context.Prompt());
    if (record.FileState().Open(recordPath, false) != 1)
        return false;
    if (record.GetTemplateName().empty())
    {
        context.Log(Format("File \"%s\" has no template, unable to synchronize", scPath.c_str()), true, true);
        return false;
    }
    if (record.GetTemplateName() != templatePath)
        return true;

    bool checkIn = false;
    SyncCheckOut checkOut = CheckOutForSync(context, scPath, false, checkIn);
    if (checkOut != SyncCheckOut::Proceed)
        return checkOut == SyncCheckOut::OtherUser;

    context.Log(Format("Synchronizing record \"%s\" to template \"%s\"", RootRelativePath(context, recordPath).c_str(),
                       templatePath.c_str()),
                true, false);
    DbTemplate dbTemplate;
    bool loaded = cache ? cache->Load(context, record, dbTemplate) : LoadRecordTemplate(context, record, dbTemplate);
    if (loaded)
    {
        BindRecord(dbTemplate, record, false, &context);
        ApplyTemplate(dbTemplate, record);
        record.FileState().Save();
    }
    if (checkIn)
        context.SourceControl().CheckInFile(scPath);
    return loaded;
}

} // namespace mw
