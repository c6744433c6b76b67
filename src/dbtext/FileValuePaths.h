// How a file chosen with a browse button becomes the text of a value: file
// references relative to the database or assets tree, template paths behind
// the "%TEMPLATE_DIR%" token.
#pragma once

#include <string>

namespace mw {

// The chosen path relative to the mod (or the working folder), with '\'
// separators and the first "database\" and then the first "assets\"
// (compared case-sensitively) removed.
std::string RelativeFileValue(const std::string& chosenPath, const std::string& workingDir,
                              const std::string& modName);
// "%TEMPLATE_DIR%" followed by the path relative to the working folder;
// false when the file does not lie below the working folder.
bool TemplateDirValue(const std::string& chosenPath, const std::string& workingDir, std::string& value);
// A record name or archive entry chosen in the built archives as a value:
// '\' separators, the first "database\" and then "assets\" removed.
std::string ArchiveEntryValue(const std::string& name);

} // namespace mw
