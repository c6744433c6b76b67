// Finding and rewriting references to moved, renamed and deleted files.
#include "MovedReferences.h"

#include "CheckOutRule.h"
#include "DatabaseOperation.h"
#include "DatabaseWalk.h"
#include "context/IWorkspaceContext.h"
#include "dbtext/DbRecord.h"
#include "dbtext/DbTemplate.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <memory>

namespace mw {
namespace {

// A change in the form references are compared in: database-relative,
// backslashes, lower case for the comparison.
struct Target
{
    std::string oldKey;  // lower case
    std::string newName; // as written into references; empty for a delete
    bool isFolder = false;
};

std::string DatabaseRelativeOf(IWorkspaceContext& context, const std::string& path)
{
    std::string relative = DatabaseRelativePath(RootRelativePath(context, context.GetWorkingDir() + path));
    while (!relative.empty() && relative.back() == '\\')
        relative.pop_back();
    return relative;
}

std::vector<Target> TargetsOf(IWorkspaceContext& context, const std::vector<PathChange>& changes)
{
    std::vector<Target> targets;
    for (const PathChange& change : changes)
    {
        Target target;
        target.oldKey = ToLowerAscii(DatabaseRelativeOf(context, change.oldPath));
        if (!change.newPath.empty())
            target.newName = DatabaseRelativeOf(context, change.newPath);
        target.isFolder = change.isFolder;
        if (!target.oldKey.empty())
            targets.push_back(target);
    }
    return targets;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// One element of a value: a reference keeps what stands before its
// database-relative part ("database\", "%TEMPLATE_DIR%database\" or
// "%TEMPLATE_DIR%") when it is rewritten. Returns the number of matches.
int RewriteElement(std::string& element, const std::vector<Target>& targets, bool apply)
{
    std::string normalised = ToBackslashes(element);
    std::string lead;
    if (StartsWithNoCase(normalised, "%TEMPLATE_DIR%"))
        lead = normalised.substr(0, 14);
    if (StartsWithNoCase(std::string_view(normalised).substr(lead.size()), "database\\"))
        lead = normalised.substr(0, lead.size() + 9);
    std::string rest = normalised.substr(lead.size());
    std::string key = ToLowerAscii(rest);
    for (const Target& target : targets)
    {
        bool exact = key == target.oldKey;
        bool below = target.isFolder && key.size() > target.oldKey.size() &&
                     key.compare(0, target.oldKey.size(), target.oldKey) == 0 && key[target.oldKey.size()] == '\\';
        if (!exact && !below)
            continue;
        if (apply && !target.newName.empty())
            element = lead + target.newName + rest.substr(target.oldKey.size());
        return 1;
    }
    return 0;
}

// Every ';'-separated element; empty elements and the rest of the value are
// kept exactly as they were.
int RewriteValue(std::string& value, const std::vector<Target>& targets, bool apply)
{
    if (value.empty())
        return 0;
    std::vector<std::string> elements = SplitText(value, ';');
    int matches = 0;
    for (std::string& element : elements)
        if (!element.empty())
            matches += RewriteElement(element, targets, apply);
    if (matches > 0 && apply)
    {
        std::string joined;
        for (size_t i = 0; i < elements.size(); ++i)
            joined += (i == 0 ? "" : ";") + elements[i];
        value = joined;
    }
    return matches;
}

bool IsRecordPath(const std::string& path) { return EqualsNoCase(Extension(path), "dbr"); }
bool IsTemplatePath(const std::string& path) { return EqualsNoCase(Extension(path), "tpl"); }

// Loads a record or template and counts (and with apply, rewrites) its
// references. Null when the file is neither or cannot be read.
std::unique_ptr<DbDocument> VisitDocument(const std::string& fullPath, const std::vector<Target>& targets, bool apply,
                                          int& matches)
{
    matches = 0;
    if (IsRecordPath(fullPath))
    {
        auto record = std::make_unique<DbRecord>();
        if (record->FileState().Open(fullPath, true) != 1)
            return nullptr;
        DbRecord::ValueMap values = record->Values();
        for (auto& [name, value] : values)
        {
            int found = RewriteValue(value, targets, apply);
            if (found > 0 && apply)
                record->SetValue(name, value);
            matches += found;
        }
        std::string templateName = record->GetTemplateName();
        int found = RewriteValue(templateName, targets, apply);
        if (found > 0 && apply)
            record->SetTemplateName(templateName);
        matches += found;
        return record;
    }
    if (IsTemplatePath(fullPath))
    {
        auto dbTemplate = std::make_unique<DbTemplate>();
        if (dbTemplate->FileState().Open(fullPath, true) != 1)
            return nullptr;
        std::vector<DbVariable*> variables;
        dbTemplate->Root().CollectVariables(variables);
        for (DbVariable* variable : variables)
            matches += RewriteValue(variable->defaultValue, targets, apply);
        return dbTemplate;
    }
    return nullptr;
}

} // namespace

std::vector<ReferringFile> FindReferringFiles(IWorkspaceContext& context, const std::vector<PathChange>& changes)
{
    std::vector<ReferringFile> referring;
    std::vector<Target> targets = TargetsOf(context, changes);
    if (targets.empty())
        return referring;
    WalkDatabaseFolder(context, ModDatabaseFolder(context), [&](const std::string& fullPath) {
        int matches = 0;
        if (VisitDocument(fullPath, targets, false, matches) && matches > 0)
            referring.push_back(ReferringFile{ToForwardSlashes(SourceControlPathOf(context, fullPath)), matches});
        return true;
    });
    return referring;
}

ReferenceRewriteResult RewriteReferences(IWorkspaceContext& context, const std::vector<PathChange>& changes,
                                         const std::vector<std::string>& files, bool dryRun)
{
    ReferenceRewriteResult result;
    // Deleted files have nothing to be rewritten to.
    std::vector<Target> targets;
    for (const Target& target : TargetsOf(context, changes))
        if (!target.newName.empty())
            targets.push_back(target);
    if (targets.empty())
        return result;
    for (const std::string& file : files)
    {
        int matches = 0;
        std::unique_ptr<DbDocument> document =
            VisitDocument(context.GetWorkingDir() + file, targets, !dryRun, matches);
        if (!document)
        {
            result.failed.push_back(file);
            continue;
        }
        if (matches == 0)
            continue;
        if (dryRun)
        {
            result.rewritten.push_back(file);
            continue;
        }
        CheckOutResult checkOut = ApplyCheckOutRule(context, file);
        if (checkOut == CheckOutResult::OtherUser)
        {
            result.heldByOthers.push_back(file);
            continue;
        }
        if (checkOut == CheckOutResult::Failed || document->FileState().Save() != 1)
        {
            result.failed.push_back(file);
            continue;
        }
        if (checkOut == CheckOutResult::CheckedOut && !context.SourceControl().CheckInFile(file))
        {
            context.Log(Format("Checkin Error for file: %s", file.c_str()), true, true);
            result.failed.push_back(file);
            continue;
        }
        result.rewritten.push_back(file);
    }
    return result;
}

} // namespace mw
