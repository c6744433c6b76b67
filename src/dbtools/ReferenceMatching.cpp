// Comparing and rewriting references to moved, renamed and deleted files.
#include "ReferenceMatching.h"

#include "DatabaseWalk.h"
#include "context/IWorkspaceContext.h"
#include "dbtext/DbRecord.h"
#include "dbtext/DbTemplate.h"
#include "platform/PathRules.h"

namespace mw {
namespace {

std::string DatabaseRelativeOf(IWorkspaceContext& context, const std::string& path)
{
    std::string relative = DatabaseRelativePath(RootRelativePath(context, context.GetWorkingDir() + path));
    while (!relative.empty() && relative.back() == '\\')
        relative.pop_back();
    return relative;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// The length of what stands before an element's database-relative part.
size_t LeadLength(const std::string& normalised)
{
    size_t lead = 0;
    if (StartsWithNoCase(normalised, "%TEMPLATE_DIR%"))
        lead = 14;
    if (StartsWithNoCase(std::string_view(normalised).substr(lead), "database\\"))
        lead += 9;
    return lead;
}

// Rewrites one element to the first target it matches; the number of matches (0 or 1).
int RewriteElement(std::string& element, const std::vector<ReferenceTarget>& targets, bool apply)
{
    std::string normalised = ToBackslashes(element);
    size_t lead = LeadLength(normalised);
    std::string key = ToLowerAscii(normalised.substr(lead));
    for (const ReferenceTarget& target : targets)
    {
        if (!KeyMatchesTarget(key, target))
            continue;
        if (apply && !target.newName.empty())
            element = normalised.substr(0, lead) + target.newName + normalised.substr(lead + target.oldKey.size());
        return 1;
    }
    return 0;
}

// Every ';'-separated element; empty elements and the rest of the value are
// kept exactly as they were.
int RewriteValue(std::string& value, const std::vector<ReferenceTarget>& targets, bool apply)
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

void AddKeys(const std::string& value, std::vector<std::string>& keys)
{
    if (value.empty())
        return;
    for (const std::string& element : SplitText(value, ';'))
    {
        if (element.empty())
            continue;
        std::string key = ReferenceKeyOf(element);
        if (CouldBeFileReference(key))
            keys.push_back(std::move(key));
    }
}

} // namespace

std::vector<ReferenceTarget> ReferenceTargetsOf(IWorkspaceContext& context, const std::vector<PathChange>& changes)
{
    std::vector<ReferenceTarget> targets;
    for (const PathChange& change : changes)
    {
        ReferenceTarget target;
        target.oldKey = ToLowerAscii(DatabaseRelativeOf(context, change.oldPath));
        if (!change.newPath.empty())
            target.newName = DatabaseRelativeOf(context, change.newPath);
        target.isFolder = change.isFolder;
        if (!target.oldKey.empty())
            targets.push_back(target);
    }
    return targets;
}

std::string ReferenceKeyOf(const std::string& element)
{
    std::string normalised = ToBackslashes(element);
    return ToLowerAscii(normalised.substr(LeadLength(normalised)));
}

bool KeyMatchesTarget(const std::string& key, const ReferenceTarget& target)
{
    if (key == target.oldKey)
        return true;
    return target.isFolder && key.size() > target.oldKey.size() &&
           key.compare(0, target.oldKey.size(), target.oldKey) == 0 && key[target.oldKey.size()] == '\\';
}

bool CouldBeFileReference(const std::string& key)
{
    if (key.find('\\') != std::string::npos)
        return true;
    size_t dot = key.rfind('.');
    if (dot == std::string::npos || dot + 1 == key.size())
        return false;
    for (size_t i = dot + 1; i < key.size(); ++i)
        if (!((key[i] >= 'a' && key[i] <= 'z') || (key[i] >= 'A' && key[i] <= 'Z')))
            return false;
    return true;
}

bool IsRecordOrTemplatePath(const std::string& path) { return IsRecordPath(path) || IsTemplatePath(path); }

std::unique_ptr<DbDocument> VisitReferences(const std::string& fullPath, const std::vector<ReferenceTarget>& targets,
                                            bool apply, int& matches)
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

bool CollectReferenceKeys(const std::string& fullPath, std::vector<std::string>& keys)
{
    keys.clear();
    if (IsRecordPath(fullPath))
    {
        DbRecord record;
        if (record.FileState().Open(fullPath, true) != 1)
            return false;
        for (const auto& [name, value] : record.Values())
            AddKeys(value, keys);
        AddKeys(record.GetTemplateName(), keys);
        return true;
    }
    if (IsTemplatePath(fullPath))
    {
        DbTemplate dbTemplate;
        if (dbTemplate.FileState().Open(fullPath, true) != 1)
            return false;
        std::vector<DbVariable*> variables;
        dbTemplate.Root().CollectVariables(variables);
        for (const DbVariable* variable : variables)
            AddKeys(variable->defaultValue, keys);
        return true;
    }
    return false;
}

} // namespace mw
