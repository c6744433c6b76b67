// The rules of the multiple-value editor that do not depend on its window:
// which controls are enabled, the browse filter, and the add and percent
// arithmetic with its int and real formatting.
#pragma once

#include <string>

namespace mw {

// "Editing variable: %s%s", with " - READ ONLY" for a read-only dialog.
std::string MultipleEditTitle(const std::string& variableName, bool readOnly);
// The value field and the browse button: not read-only, class "variable",
// "array" or "picklist", and type other than "include".
bool MultipleEditValueEnabled(bool readOnly, const std::string& varClass, const std::string& type);
// The add and percent buttons: not read-only, class "variable" or "array",
// type "int" or "real".
bool MultipleEditArithmeticEnabled(bool readOnly, const std::string& varClass, const std::string& type);
// "tpl" for includes, the extension list of a file type ("wav,mp3" for
// "file_wav,mp3"), else empty.
std::string BrowseExtensions(const std::string& type);

// An "int" operand is cut at its first '.'.
std::string CutIntOperand(const std::string& operand);
// The row's value plus the operand ("int": integer sum; "real": the sum
// written with the longer of the two decimal parts).
std::string AddToValue(const std::string& rowText, const std::string& operand, const std::string& type);
// The row's value plus operand percent of it ("int": rounded half up by
// adding 0.5 and truncating toward zero).
std::string PercentOfValue(const std::string& rowText, const std::string& operand, const std::string& type);
// Fixed-point text with the given decimals, without a leading zero before
// the point when the size is below 1 ("-.5", ".25").
std::string FormatRealValue(double value, int decimals);

} // namespace mw
