// Record compilation.
#include "RecordCompiler.h"

#include "ByteWriter.h"
#include "DbArchive.h"
#include "TemplateVariableIndex.h"
#include "dbtext/DbRecord.h"
#include "dbtext/DbTemplate.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace mw {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Steps over leading blanks and an optional sign; true for a minus.
bool SkipBlanksAndSign(std::string_view text, size_t& i)
{
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        return text[i++] == '-';
    return false;
}

uint32_t FloatBits(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

// Calls visit with each element of an array value, split as SplitArrayValue
// describes, without copying the elements.
template <typename Visit>
void ForEachArrayElement(std::string_view text, Visit visit)
{
    size_t start = 0;
    while (start < text.size())
    {
        size_t semicolon = text.find(';', start);
        if (semicolon == std::string_view::npos || semicolon == start)
        {
            visit(text.substr(start));
            return;
        }
        visit(text.substr(start, semicolon - start));
        start = semicolon + 1;
    }
}

} // namespace

uint32_t TypeCodeOf(std::string_view type)
{
    if (type == "int")
        return 0;
    if (type == "real")
        return 1;
    if (type.substr(0, 5) == "file_" || type == "file" || type == "string" || type == "equation")
        return 2;
    if (type == "bool")
        return 3;
    return 4;
}

uint32_t BinaryTypeCode(const DbVariable& variable, uint32_t count) { return TypeCodeOf(variable.type) | (count << 16); }

std::vector<std::string> SplitArrayValue(std::string_view text)
{
    std::vector<std::string> elements;
    ForEachArrayElement(text, [&](std::string_view element) { elements.emplace_back(element); });
    return elements;
}

int32_t ReadIntegerText(std::string_view text)
{
    size_t i = 0;
    bool negative = SkipBlanksAndSign(text, i);
    int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
    {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            value = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int32_t>::max())
        value = std::numeric_limits<int32_t>::max();
    return int32_t(value);
}

float ReadFloatText(std::string_view text)
{
    size_t i = 0;
    bool negative = SkipBlanksAndSign(text, i);
    size_t start = i;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.')
    {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0.0f;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E'))
    {
        size_t exponent = i + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            negativeExponent = text[exponent++] == '-';
        if (exponent < text.size() && IsDigit(text[exponent]))
        {
            i = exponent;
            while (i < text.size() && IsDigit(text[i]))
                ++i;
        }
    }
    double value = 0.0;
    auto [end, error] = std::from_chars(text.data() + start, text.data() + i, value);
    (void)end;
    if (error == std::errc::result_out_of_range)
        value = negativeExponent ? 0.0 : HUGE_VAL;
    float single = float(value);
    return negative ? -single : single;
}

namespace {

// The body of a record whose values come in name order: pairs whose first
// and second are the name and the value text.
template <typename Values>
WriteBinaryResult WriteBody(std::string_view templateName, const Values& values, ByteWriter& writer,
                            DbTemplate& dbTemplate, const std::string& templateFileName, DbArchive& archive,
                            std::string* failedVariable, const TemplateVariableIndex* index,
                            std::vector<uint32_t>* nameIds)
{
    size_t cut = templateName.find_last_of("\\:");
    std::string_view shortName = cut == std::string_view::npos ? std::string_view() : templateName.substr(cut + 1);
    if (shortName != templateFileName)
        return WriteBinaryResult::TemplateMismatch;

    StringMap& strings = archive.Strings();
    // A string longer than the reader takes would end the reading of the
    // whole string table, so it is refused before anything is added.
    if (templateName.size() > DbArchive::kMaxStringLength)
    {
        if (failedVariable)
            *failedVariable = "templateName";
        return WriteBinaryResult::StringTooLong;
    }
    // The body's size is known before it is written: the template entry,
    // then a descriptor, a key and the values of each entry.
    uint64_t bodySize = 12;
    // The variables that are written and their value counts, all checked
    // first, so a refused record writes nothing.
    struct Entry
    {
        uint32_t typeCode;
        bool isArray;
        uint32_t count;
        uint32_t* nameId; // the remembered id of the name, or null
        std::string_view name;
        std::string_view value;
    };
    std::vector<Entry> entries;
    entries.reserve(values.size());
    for (const auto& [name, value] : values)
    {
        Entry entry{4, false, 0, nullptr, name, value};
        if (index)
        {
            const TemplateVariableIndex::Entry* found = index->FindEntry(name);
            if (!found)
                continue;
            entry.typeCode = found->typeCode;
            entry.isArray = found->isArray;
            if (nameIds && found->position < nameIds->size())
                entry.nameId = &(*nameIds)[found->position];
        }
        else
        {
            const DbVariable* variable = dbTemplate.Root().FindVariable(std::string(name));
            if (!variable)
                continue;
            entry.typeCode = TypeCodeOf(variable->type);
            entry.isArray = variable->varClass == "array";
        }
        size_t count = 0;
        bool tooLong = false;
        auto countElement = [&](std::string_view element) {
            ++count;
            tooLong = tooLong || (entry.typeCode == 2 && element.size() > DbArchive::kMaxStringLength);
        };
        if (entry.isArray)
            ForEachArrayElement(value, countElement);
        else if (!value.empty())
            countElement(value);
        if (count == 0)
            continue;
        if (count > kMaxValuesPerEntry)
        {
            if (failedVariable)
                *failedVariable = std::string(name);
            return WriteBinaryResult::TooManyValues;
        }
        if (tooLong || name.size() > DbArchive::kMaxStringLength)
        {
            if (failedVariable)
                *failedVariable = std::string(name);
            return WriteBinaryResult::StringTooLong;
        }
        entry.count = uint32_t(count);
        bodySize += 8 + (entry.typeCode <= 3 ? 4 * uint64_t(count) : 0);
        entries.push_back(entry);
    }
    if (bodySize > DbArchive::kMaxBodySize)
        return WriteBinaryResult::BodyTooLarge;

    writer.WriteUInt32(0x00010002);
    writer.WriteUInt32(strings.FindOrAdd("templateName"));
    writer.WriteUInt32(strings.FindOrAdd(templateName));
    for (const Entry& entry : entries)
    {
        uint32_t code = entry.typeCode;
        writer.WriteUInt32(code | entry.count << 16);
        // A name added before keeps its id, so the remembered id is what
        // FindOrAdd would give, and asking again would add nothing.
        uint32_t nameId = entry.nameId ? *entry.nameId : kUnknownId;
        if (nameId == kUnknownId)
            nameId = strings.FindOrAdd(entry.name);
        if (entry.nameId)
            *entry.nameId = nameId;
        writer.WriteUInt32(nameId);
        auto writeValue = [&](std::string_view text) {
            switch (code)
            {
            case 0:
                writer.WriteUInt32(uint32_t(ReadIntegerText(text)));
                break;
            case 1:
                writer.WriteUInt32(FloatBits(ReadFloatText(text)));
                break;
            case 2:
                writer.WriteUInt32(strings.FindOrAdd(text));
                break;
            case 3:
                writer.WriteUInt32(ReadIntegerText(text) != 0 ? 1 : 0);
                break;
            default:
                break;
            }
        };
        if (entry.isArray)
            ForEachArrayElement(entry.value, writeValue);
        else
            writeValue(entry.value);
    }
    return WriteBinaryResult::Written;
}

} // namespace

WriteBinaryResult WriteBinary(const DbRecord& record, ByteWriter& writer, DbTemplate& dbTemplate,
                              const std::string& templateFileName, DbArchive& archive, std::string* failedVariable,
                              const TemplateVariableIndex* index, std::vector<uint32_t>* nameIds)
{
    return WriteBody(record.GetTemplateName(), record.Values(), writer, dbTemplate, templateFileName, archive,
                     failedVariable, index, nameIds);
}

WriteBinaryResult WriteBinary(std::string_view templateName,
                              const std::vector<std::pair<std::string_view, std::string_view>>& sortedValues,
                              ByteWriter& writer, DbTemplate& dbTemplate, const std::string& templateFileName,
                              DbArchive& archive, std::string* failedVariable, const TemplateVariableIndex* index,
                              std::vector<uint32_t>* nameIds)
{
    return WriteBody(templateName, sortedValues, writer, dbTemplate, templateFileName, archive, failedVariable, index,
                     nameIds);
}

} // namespace mw
