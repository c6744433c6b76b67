// Values that compile but do not say what they seem to.
#include "RecordValueWarnings.h"

#include "DbRecord.h"
#include "DbTemplate.h"
#include "TemplateEditing.h"
#include "ValueTypeCheck.h"
#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace mw {
namespace {

bool FileFound(const std::string& entry, const std::vector<std::string>& fileRoots)
{
    std::string relative = ToForwardSlashes(entry);
    for (const std::string& root : fileRoots)
        if (IsFile(root + relative))
            return true;
    return false;
}

const char* TypeWords(ValueTypeFault fault)
{
    switch (fault)
    {
    case ValueTypeFault::NotBool:
        return "does not read as bool (0 or 1)";
    case ValueTypeFault::NotInt:
        return "does not read as int";
    case ValueTypeFault::NotReal:
        return "does not read as real";
    case ValueTypeFault::None:
        break;
    }
    return "";
}

} // namespace

std::vector<std::string> FileValueRoots(IWorkspaceContext& context)
{
    std::string working = WithTrailingSeparator(ToForwardSlashes(context.GetWorkingDir()));
    std::string build = WithTrailingSeparator(ToForwardSlashes(context.GetBuildDir()));
    std::string prefix = context.GetModPrefix();
    std::vector<std::string> roots;
    for (const char* tree : {"database/", "assets/", "source/"})
        roots.push_back(working + prefix + tree);
    if (!prefix.empty())
        for (const char* tree : {"database/", "assets/"})
            roots.push_back(working + tree);
    if (!context.GetBuildDir().empty())
        roots.push_back(build + prefix + "resources/");
    return roots;
}

std::string ValueWarning(const std::string& varClass, const std::string& type, const std::string& value,
                         const std::vector<std::string>& fileRoots)
{
    if (value.empty())
        return std::string();
    ValueTypeFault fault = CheckValueType(varClass, type, value);
    if (fault != ValueTypeFault::None)
        return TypeWords(fault);
    if (!IsFileType(type))
        return std::string();
    // File values may list several files.
    for (const std::string& entry : SplitText(value, ';'))
        if (!entry.empty() && !FileFound(entry, fileRoots))
            return "names a file that does not exist";
    return std::string();
}

std::vector<RecordValueWarning> FindRecordValueWarnings(DbTemplate& dbTemplate, const DbRecord& record,
                                                        const std::vector<std::string>& fileRoots)
{
    std::vector<RecordValueWarning> warnings;
    for (const auto& [name, value] : record.Values())
    {
        DbVariable* variable = dbTemplate.Root().FindVariable(name);
        if (!variable || variable->IsDirective())
            continue;
        std::string reason = ValueWarning(variable->varClass, variable->type, value, fileRoots);
        if (!reason.empty())
            warnings.push_back(RecordValueWarning{name, value, reason});
    }
    return warnings;
}

} // namespace mw
