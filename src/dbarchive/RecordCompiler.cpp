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
bool SkipBlanksAndSign(const std::string& text, size_t& i)
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

} // namespace

uint32_t TypeCodeOf(const std::string& type)
{
    if (type == "int")
        return 0;
    if (type == "real")
        return 1;
    if (type.rfind("file_", 0) == 0 || type == "file" || type == "string" || type == "equation")
        return 2;
    if (type == "bool")
        return 3;
    return 4;
}

uint32_t BinaryTypeCode(const DbVariable& variable, uint32_t count) { return TypeCodeOf(variable.type) | (count << 16); }

std::vector<std::string> SplitArrayValue(const std::string& text)
{
    std::vector<std::string> elements;
    size_t start = 0;
    while (start < text.size())
    {
        size_t semicolon = text.find(';', start);
        if (semicolon == std::string::npos || semicolon == start)
        {
            elements.push_back(text.substr(start));
            break;
        }
        elements.push_back(text.substr(start, semicolon - start));
        start = semicolon + 1;
    }
    return elements;
}

int32_t ReadIntegerText(const std::string& text)
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

float ReadFloatText(const std::string& text)
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

WriteBinaryResult WriteBinary(const DbRecord& record, ByteWriter& writer, DbTemplate& dbTemplate,
                              const std::string& templateFileName, DbArchive& archive, std::string* failedVariable,
                              const TemplateVariableIndex* index)
{
    const std::string& templateName = record.GetTemplateName();
    size_t cut = templateName.find_last_of("\\:");
    std::string shortName = cut == std::string::npos ? std::string() : templateName.substr(cut + 1);
    if (shortName != templateFileName)
        return WriteBinaryResult::TemplateMismatch;

    StringMap& strings = archive.Strings();
    // Check every array's count first, so a refused record writes nothing.
    struct Entry
    {
        const DbVariable* variable;
        const std::string* name;
        std::vector<std::string> values;
    };
    std::vector<Entry> entries;
    entries.reserve(record.Values().size());
    for (const auto& [name, value] : record.Values())
    {
        const DbVariable* variable = index ? index->Find(name) : dbTemplate.Root().FindVariable(name);
        if (!variable)
            continue;
        Entry entry{variable, &name, {}};
        if (variable->varClass == "array")
            entry.values = SplitArrayValue(value);
        else if (!value.empty())
            entry.values.push_back(value);
        if (entry.values.empty())
            continue;
        if (entry.values.size() > kMaxValuesPerEntry)
        {
            if (failedVariable)
                *failedVariable = name;
            return WriteBinaryResult::TooManyValues;
        }
        entries.push_back(std::move(entry));
    }

    writer.WriteUInt32(0x00010002);
    writer.WriteUInt32(strings.FindOrAdd("templateName"));
    writer.WriteUInt32(strings.FindOrAdd(templateName));
    for (const Entry& entry : entries)
    {
        uint32_t code = TypeCodeOf(entry.variable->type);
        writer.WriteUInt32(code | uint32_t(entry.values.size()) << 16);
        writer.WriteUInt32(strings.FindOrAdd(*entry.name));
        for (const std::string& text : entry.values)
        {
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
        }
    }
    return WriteBinaryResult::Written;
}

} // namespace mw
