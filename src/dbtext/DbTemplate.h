// A template: a tree of groups of variables, read from and written to the
// template text format, with include variables that pull in other templates.
#pragma once

#include "DbDocument.h"
#include "DbGroup.h"
#include "DbRecord.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mw {

class IToolContext;

class DbTemplate : public DbDocument
{
public:
    DbTemplate();
    ~DbTemplate() override;

    int Read(const char* bytes, size_t length) override;
    int Write(std::string& text) const override;
    int Clear() override;

    DbGroup& Root() { return *m_root; }
    const DbGroup& Root() const { return *m_root; }
    void SetRoot(std::unique_ptr<DbGroup> root) { m_root = std::move(root); }

    // Records bound to this template (those open in an editor); owned.
    std::vector<std::unique_ptr<DbRecord>>& BoundRecords() { return m_boundRecords; }
    DbRecord* FindRecord(const std::string& shortName);

    // Merges the contents of every include, each loaded with its own
    // includes first; 1 on success, 0 after the first include that failed
    // (logged). Include paths are resolved against the working folder. A
    // template that includes itself, directly or through others, fails.
    int LoadIncludes(const std::string& workingDir, IToolContext* log);
    void MergeInclude(DbTemplate& included, const std::string& groupName, const std::string& includePath);

private:
    // Reads "{ key ... }" up to its "}": each keyword goes to onKeyword,
    // whose result (1 or 0) becomes the block's; a non-keyword fails it.
    int ReadBlock(class DbTextReader& reader, const std::function<int(const std::string&)>& onKeyword);
    int ReadKeyValue(class DbTextReader& reader, std::string& field);
    int ReadGroupBlock(class DbTextReader& reader, DbGroup& group);
    int ReadVariableBlock(class DbTextReader& reader, DbVariable& variable);
    void ReadHistoryBlock(class DbTextReader& reader);
    // Adds a read group below parent, merging it into an existing group of that name.
    static void AttachGroup(DbGroup& parent, std::unique_ptr<DbGroup> group);
    int LoadIncludesChain(const std::string& workingDir, IToolContext* log, std::vector<std::string>& chain);

    std::unique_ptr<DbGroup> m_root;
    std::string m_leftOutGroupType;
    std::vector<std::unique_ptr<DbRecord>> m_boundRecords;
};

// The file path of a template named in a record or an include: the first
// "%TEMPLATE_DIR%" (any case) removed and the working folder put in front.
std::string ResolveTemplatePath(const std::string& path, const std::string& workingDir);

} // namespace mw
