// How a reference is compared with a moved, renamed or deleted path: a whole
// value or one ';'-separated element of it, in its database-relative form,
// without regard to letter case or separator.
#pragma once

#include "MovedReferences.h"

#include <memory>
#include <string>
#include <vector>

namespace mw {

class DbDocument;
class IWorkspaceContext;

// A change in the form references are compared in.
struct ReferenceTarget
{
    std::string oldKey;  // database-relative, '\', lower case
    std::string newName; // as written into references; empty for a delete
    bool isFolder = false;
};

std::vector<ReferenceTarget> ReferenceTargetsOf(IWorkspaceContext& context, const std::vector<PathChange>& changes);

// The comparison key of one element: what stands before its database-relative
// part ("database\", "%TEMPLATE_DIR%database\" or "%TEMPLATE_DIR%") dropped,
// separators made '\', lower case.
std::string ReferenceKeyOf(const std::string& element);

// Whether a key names the target itself or, for a folder, a path below it.
bool KeyMatchesTarget(const std::string& key, const ReferenceTarget& target);

// Whether a key can name a file at all: it holds a separator or ends in an
// extension of letters. Numbers, words and empty values cannot.
bool CouldBeFileReference(const std::string& key);

// Loads a record (.dbr) or template (.tpl) quietly and counts, and with apply
// rewrites, the references it holds to the targets: a record's values and
// template name, a template's default values. Null when the file is neither
// or cannot be read.
std::unique_ptr<DbDocument> VisitReferences(const std::string& fullPath, const std::vector<ReferenceTarget>& targets,
                                            bool apply, int& matches);

// The keys of every element of a record's values and template name, or of a
// template's default values, that could name a file. False when the file is
// not a record or template or cannot be read.
bool CollectReferenceKeys(const std::string& fullPath, std::vector<std::string>& keys);

bool IsRecordOrTemplatePath(const std::string& path);

} // namespace mw
