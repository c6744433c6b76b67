// Find and update references.
#include "References.h"

#include "CheckOutRule.h"
#include "DatabaseOperation.h"
#include "context/IWorkspaceContext.h"
#include "dbarchive/RecordCompiler.h"
#include "dbtext/DbRecord.h"
#include "dbtext/DbTemplate.h"
#include "dbtext/TemplateBinding.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <memory>
#include <vector>

namespace mw {
namespace {

bool IsRecordPath(const std::string& path) { return HasLastThree(path, "dbr"); }
bool IsTemplatePath(const std::string& path) { return HasLastThree(path, "tpl"); }

// The name a visited file is reported by.
std::string MessageName(IWorkspaceContext& context, const std::string& filePath)
{
    return DatabaseRelativePath(RootRelativePath(context, filePath));
}

std::string SelectedDocumentPath(IWorkspaceContext& context, const std::string& line)
{
    return context.GetWorkingDir() + RemoveFirstNoCase(line, "%TEMPLATE_DIR%");
}

std::vector<std::string> SelectionLines(const std::string& selection)
{
    std::vector<std::string> lines;
    for (std::string line : SplitText(selection, '\n'))
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

// A selected document with the names references to it are rewritten to.
template <class Document> struct Selected
{
    std::unique_ptr<Document> document;
    std::string shortName;
    std::string newName;
};

template <class Document>
std::vector<Selected<Document>> LoadSelected(IWorkspaceContext& context, const std::vector<std::string>& lines,
                                             bool (*isKind)(const std::string&), bool keepDatabasePrefix)
{
    std::vector<Selected<Document>> selected;
    for (const std::string& line : lines)
    {
        if (!isKind(line))
            continue;
        std::string path = SelectedDocumentPath(context, line);
        auto document = std::make_unique<Document>();
        if (document->FileState().Open(path, true) != 1)
            continue;
        std::string rootRelative = ToBackslashes(RootRelativePath(context, path));
        std::string newName = keepDatabasePrefix ? rootRelative : RemoveFirstNoCase(rootRelative, "database\\");
        selected.push_back(Selected<Document>{std::move(document), ShortName(path), newName});
    }
    return selected;
}

// Saves and checks in a visited file that had references rewritten.
void SaveRewritten(IWorkspaceContext& context, DbDocument& document, const std::string& filePath,
                   const std::string& messageName)
{
    std::string path = RootRelativePath(context, filePath);
    CheckOutResult result = ApplyCheckOutRule(context, path);
    if (result != CheckOutResult::AlreadyHeld && result != CheckOutResult::CheckedOut)
        return;
    document.FileState().Save();
    if (result == CheckOutResult::CheckedOut && !context.SourceControl().CheckInFile(path))
        context.Log(Format("Checkin Error for file: %s", messageName.c_str()), true, true);
}

const DatabaseOperationTexts kFindTexts{"Reference check cancelled by user", "Reference check processing time %d:%02d"};
const DatabaseOperationTexts kUpdateTexts{"Reference update cancelled by user",
                                          "Reference update processing time %d:%02d"};

bool UpdateRecordReferences(IWorkspaceContext& context, std::vector<Selected<DbRecord>>& selected,
                            const std::string& filePath);
bool UpdateTemplateReferences(IWorkspaceContext& context, std::vector<Selected<DbTemplate>>& selected,
                              const std::string& filePath);

} // namespace

int FindReferences(IWorkspaceContext& context, const std::string& path)
{
    context.BeginOperation();
    uint64_t start = TickCountMs();
    std::string target = DatabaseRelativePath(path);
    context.Log(Format("Finding all references to file: \"%s\"", target.c_str()), true, false);
    std::function<bool(const std::string&)> visit = [&](const std::string& file) {
        return FindReferencesInFile(context, target, file);
    };
    WalkResult result;
    WalkDatabaseWithClosingLines(context, start, kFindTexts, &visit, &result);
    return result.errors;
}

bool FindReferencesInFile(IWorkspaceContext& context, const std::string& target, const std::string& filePath)
{
    if (!IsRecordPath(filePath) && !IsTemplatePath(filePath))
        return true;
    std::string name = MessageName(context, filePath);
    if (IsRecordPath(filePath))
    {
        DbRecord record;
        if (record.FileState().Open(filePath, true) != 1)
            return false;
        for (const auto& [variable, value] : record.Values())
            if (value == target)
                context.Log(Format("Found reference in variable \"%s\" of file \"%s\".", variable.c_str(), name.c_str()),
                            true, false);
        if (DatabaseRelativePath(record.GetTemplateName()) == target)
            context.Log(Format("Found reference in template of file \"%s\".", name.c_str()), true, false);
        return true;
    }
    DbTemplate dbTemplate;
    if (dbTemplate.FileState().Open(filePath, true) != 1)
        return false;
    std::vector<DbVariable*> variables;
    dbTemplate.Root().CollectVariables(variables);
    for (const DbVariable* variable : variables)
        if (DatabaseRelativePath(variable->defaultValue) == target)
            context.Log(Format("Found reference in variable \"%s\" of file \"%s\".", variable->name.c_str(), name.c_str()),
                        true, false);
    return true;
}

int UpdateReferences(IWorkspaceContext& context, const std::string& selection)
{
    context.BeginOperation();
    uint64_t start = TickCountMs();
    std::vector<std::string> lines = SelectionLines(selection);
    bool records = false;
    bool templates = false;
    for (const std::string& line : lines)
    {
        records = records || IsRecordPath(line);
        templates = templates || IsTemplatePath(line);
    }
    if (records && templates)
    {
        context.Log("Unable to update records and templates at the same time.  Please select files of one type only.",
                    true, true);
        LogClosingLines(context, start, kUpdateTexts, WalkResult());
        context.ResetCancel();
        context.EndOperation();
        return 0;
    }
    context.Log("Updating all references to file(s):", true, false);
    for (const std::string& line : lines)
        context.Log(DatabaseRelativePath(line), true, false);

    // The selected documents are loaded once for the whole walk.
    std::vector<Selected<DbRecord>> selectedRecords = LoadSelected<DbRecord>(context, lines, IsRecordPath, false);
    std::vector<Selected<DbTemplate>> selectedTemplates = LoadSelected<DbTemplate>(context, lines, IsTemplatePath, true);
    std::function<bool(const std::string&)> visit;
    if (records)
        visit = [&](const std::string& file) { return UpdateRecordReferences(context, selectedRecords, file); };
    else if (templates)
        visit = [&](const std::string& file) { return UpdateTemplateReferences(context, selectedTemplates, file); };

    // The closing lines come after the histories are cleared.
    std::string folder = ModDatabaseFolder(context);
    WalkResult result;
    if (!EnsureFolders(folder))
    {
        context.Log(Format("Error creating directory: %s", folder.c_str()), true, false);
        return 0;
    }
    if (visit)
        result = WalkDatabaseFolder(context, folder, visit);
    else
        result.cancelled = true;

    for (const std::string& line : lines)
    {
        std::unique_ptr<DbDocument> document;
        if (IsRecordPath(line))
            document = std::make_unique<DbRecord>();
        else if (IsTemplatePath(line))
            document = std::make_unique<DbTemplate>();
        else
            continue;
        if (document->FileState().Open(SelectedDocumentPath(context, line), true) != 1 || document->HistoryCount() == 0)
            continue;
        document->ClearHistory();
        CheckOutResult checkOut = ApplyCheckOutRule(context, line);
        if (checkOut == CheckOutResult::AlreadyHeld || checkOut == CheckOutResult::CheckedOut)
            document->FileState().Save();
        if (checkOut == CheckOutResult::CheckedOut)
            context.SourceControl().CheckInFile(line);
    }

    LogClosingLines(context, start, kUpdateTexts, result);
    context.ResetCancel();
    context.EndOperation();
    return result.errors;
}

bool UpdateRecordReferencesInFile(IWorkspaceContext& context, const std::string& selection, const std::string& filePath)
{
    std::vector<Selected<DbRecord>> selected =
        LoadSelected<DbRecord>(context, SelectionLines(selection), IsRecordPath, false);
    return UpdateRecordReferences(context, selected, filePath);
}

bool UpdateTemplateReferencesInFile(IWorkspaceContext& context, const std::string& selection,
                                    const std::string& filePath)
{
    std::vector<Selected<DbTemplate>> selected =
        LoadSelected<DbTemplate>(context, SelectionLines(selection), IsTemplatePath, true);
    return UpdateTemplateReferences(context, selected, filePath);
}

namespace {

// What rewriting one visited document gave; ok false counts an error.
struct Rewrite
{
    bool ok = true;
    bool replaced = false;
};

// Loads a visited record or template, lets the step rewrite it, and saves it
// (with the check-out rule) when anything was replaced.
template <class RecordStep, class TemplateStep>
bool VisitAndRewrite(IWorkspaceContext& context, const std::string& filePath, RecordStep onRecord,
                     TemplateStep onTemplate)
{
    if (!IsRecordPath(filePath) && !IsTemplatePath(filePath))
        return true;
    std::string name = MessageName(context, filePath);
    std::unique_ptr<DbDocument> document;
    Rewrite rewrite;
    if (IsRecordPath(filePath))
    {
        auto record = std::make_unique<DbRecord>();
        if (record->FileState().Open(filePath, true) != 1)
            return false;
        rewrite = onRecord(*record, name);
        document = std::move(record);
    }
    else
    {
        auto dbTemplate = std::make_unique<DbTemplate>();
        if (dbTemplate->FileState().Open(filePath, true) != 1)
            return false;
        rewrite = onTemplate(*dbTemplate);
        document = std::move(dbTemplate);
    }
    if (rewrite.ok && rewrite.replaced)
        SaveRewritten(context, *document, filePath, name);
    return rewrite.ok;
}

std::string JoinElements(const std::vector<std::string>& elements)
{
    // Empty elements are dropped.
    std::string joined;
    for (const std::string& element : elements)
        if (!element.empty())
            joined += (joined.empty() ? "" : ";") + element;
    return joined;
}

Rewrite RewriteRecordReferences(IWorkspaceContext& context, std::vector<Selected<DbRecord>>& selected, DbRecord& record,
                                const std::string& name)
{
    Rewrite rewrite;
    if (record.GetTemplateName().empty())
    {
        context.Log(Format("Record \"%s\" has no template.  Unable to process.", name.c_str()), true, true);
        return Rewrite{false, false};
    }
    DbTemplate dbTemplate;
    if (!LoadRecordTemplate(context, record, dbTemplate))
    {
        context.Log("Error opening template file for record update", true, true);
        return Rewrite{false, false};
    }
    BindRecord(dbTemplate, record, false, &context);
    ApplyTemplate(dbTemplate, record);
    DbRecord::ValueMap values = record.Values();
    for (const auto& [variableName, original] : values)
    {
        const DbVariable* variable = dbTemplate.Root().FindVariable(variableName);
        if (!variable)
            return Rewrite{false, false};
        std::string value = original;
        for (Selected<DbRecord>& s : selected)
        {
            if (variable->varClass == "variable" && s.document->HasHistoryEntry(value))
            {
                context.Log(Format("Found reference to \"%s\" in variable \"%s\" of file \"%s\".", s.shortName.c_str(),
                                   variableName.c_str(), name.c_str()),
                            true, false);
                value = s.newName;
                rewrite.replaced = true;
            }
            else if (variable->varClass == "array")
            {
                std::vector<std::string> elements = SplitArrayValue(value);
                for (std::string& element : elements)
                    if (s.document->HasHistoryEntry(element))
                    {
                        context.Log(Format("Found reference to \"%s\" in array \"%s\" of file \"%s\".",
                                           s.shortName.c_str(), variableName.c_str(), name.c_str()),
                                    true, false);
                        element = s.newName;
                        rewrite.replaced = true;
                    }
                value = JoinElements(elements);
            }
        }
        record.SetValue(variableName, value);
    }
    return rewrite;
}

bool UpdateRecordReferences(IWorkspaceContext& context, std::vector<Selected<DbRecord>>& selected,
                            const std::string& filePath)
{
    return VisitAndRewrite(
        context, filePath,
        [&](DbRecord& record, const std::string& name) {
            return RewriteRecordReferences(context, selected, record, name);
        },
        [&](DbTemplate& dbTemplate) {
            Rewrite rewrite;
            std::vector<DbVariable*> variables;
            dbTemplate.Root().CollectVariables(variables);
            for (DbVariable* variable : variables)
                for (Selected<DbRecord>& s : selected)
                    if (s.document->HasHistoryEntry(variable->defaultValue))
                    {
                        variable->defaultValue = s.newName;
                        rewrite.replaced = true;
                    }
            return rewrite;
        });
}

bool UpdateTemplateReferences(IWorkspaceContext& context, std::vector<Selected<DbTemplate>>& selected,
                              const std::string& filePath)
{
    return VisitAndRewrite(
        context, filePath,
        [&](DbRecord& record, const std::string& name) {
            Rewrite rewrite;
            for (Selected<DbTemplate>& t : selected)
                if (t.document->HasHistoryEntry(record.GetTemplateName()))
                {
                    context.Log(Format("Found reference to \"%s\" in variable \"%s\" of file \"%s\".",
                                       t.shortName.c_str(), "templateFileName", name.c_str()),
                                true, false);
                    record.SetTemplateName(t.newName);
                    rewrite.replaced = true;
                }
            return rewrite;
        },
        [&](DbTemplate& dbTemplate) {
            Rewrite rewrite;
            std::vector<DbVariable*> variables;
            dbTemplate.Root().CollectVariables(variables);
            std::vector<DbVariable*> includes;
            for (DbVariable* variable : variables)
                if (variable->type == "include")
                    includes.push_back(variable);
            for (DbVariable* include : includes)
            {
                std::string original = include->defaultValue;
                std::string relative = DatabaseRelativePath(original);
                for (Selected<DbTemplate>& t : selected)
                    if (t.document->HasHistoryEntry(relative))
                    {
                        for (DbVariable* other : includes)
                            if (other->defaultValue == original)
                                other->defaultValue = t.newName;
                        rewrite.replaced = true;
                    }
            }
            return rewrite;
        });
}

} // namespace
} // namespace mw
