// Turns a loaded record into a binary record body. Each entry of a body:
//   u32 descriptor  (low 16 bits: type code; high 16 bits: value count n)
//   u32 keyId       (string id of the variable name)
//   n x u32 values  (type codes 0-3 only: int, float, string id, bool)
// The first entry is always the template name (descriptor 0x00010002).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mw {

class ByteWriter;
class DbArchive;
class DbRecord;
class DbTemplate;
class DbVariable;
class TemplateVariableIndex;

enum class WriteBinaryResult
{
    Written,
    // The record names another template file than the one given.
    TemplateMismatch,
    // An array has more values than the 16-bit count can say.
    TooManyValues,
    // A string value is longer than the archive's reader takes.
    StringTooLong,
    // The body would inflate to more than the archive's reader takes.
    BodyTooLarge,
};

constexpr uint32_t kMaxValuesPerEntry = 65535;

// templateFileName is the file name (without folders) under which the
// template was loaded. On TooManyValues and StringTooLong, failedVariable
// names the variable (the template name for a template name too long).
// An index of the template's variables, when given, replaces tree searches.
// With the index, nameIds may remember the string ids of its variable names
// (by entry position, kUnknownId where not yet known) from record to record;
// it must serve one archive only, since ids belong to one string table.
constexpr uint32_t kUnknownId = 0xFFFFFFFFu;
WriteBinaryResult WriteBinary(const DbRecord& record, ByteWriter& writer, DbTemplate& dbTemplate,
                              const std::string& templateFileName, DbArchive& archive, std::string* failedVariable,
                              const TemplateVariableIndex* index = nullptr, std::vector<uint32_t>* nameIds = nullptr);
// The same for a record read as views (DbRecord::ReadViews), its values
// already sorted by DbRecord::SortValues.
WriteBinaryResult WriteBinary(std::string_view templateName,
                              const std::vector<std::pair<std::string_view, std::string_view>>& sortedValues,
                              ByteWriter& writer, DbTemplate& dbTemplate, const std::string& templateFileName,
                              DbArchive& archive, std::string* failedVariable,
                              const TemplateVariableIndex* index = nullptr, std::vector<uint32_t>* nameIds = nullptr);

// The descriptor word: the type code of the variable's type, with count in the high 16 bits.
uint32_t BinaryTypeCode(const DbVariable& variable, uint32_t count);
uint32_t TypeCodeOf(std::string_view type);
std::vector<std::string> SplitArrayValue(std::string_view text);

// The integer reading of a value text: leading blanks, an optional sign,
// decimal digits up to the first other byte; 0 without digits; saturated.
int32_t ReadIntegerText(std::string_view text);
// The floating-point reading: leading blanks, sign, digits with an optional
// point and exponent, up to the first byte that does not fit; 0 when nothing fits.
float ReadFloatText(std::string_view text);

} // namespace mw
