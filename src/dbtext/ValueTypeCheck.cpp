// Reading values as their types.
#include "ValueTypeCheck.h"

#include <cmath>
#include <cstdlib>

namespace mw {
namespace {

bool IsDigits(const std::string& text, size_t from, size_t to)
{
    for (size_t i = from; i < to; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

// An optional sign and at least one digit, then optionally "." and digits.
bool ReadsAsInt(const std::string& text)
{
    size_t start = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    size_t dot = text.find('.');
    size_t end = dot == std::string::npos ? text.size() : dot;
    if (end == start || !IsDigits(text, start, end))
        return false;
    return dot == std::string::npos || IsDigits(text, dot + 1, text.size());
}

bool ReadsAsReal(const std::string& text)
{
    if (text.find_first_of(" \t\r\nxXpPnNiI") != std::string::npos)
        return false; // no blanks, hexadecimal, "nan" or "inf"
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(value);
}

ValueTypeFault CheckEntry(const std::string& type, const std::string& entry)
{
    if (entry.empty())
        return ValueTypeFault::None;
    if (type == "bool")
        return entry == "0" || entry == "1" ? ValueTypeFault::None : ValueTypeFault::NotBool;
    if (type == "int")
        return ReadsAsInt(entry) ? ValueTypeFault::None : ValueTypeFault::NotInt;
    if (type == "real")
        return ReadsAsReal(entry) ? ValueTypeFault::None : ValueTypeFault::NotReal;
    return ValueTypeFault::None;
}

} // namespace

ValueTypeFault CheckValueType(const std::string& varClass, const std::string& type, const std::string& value,
                              std::string* badEntry)
{
    if (type != "bool" && type != "int" && type != "real")
        return ValueTypeFault::None;
    bool array = varClass == "array";
    size_t start = 0;
    while (start <= value.size())
    {
        size_t end = array ? value.find(';', start) : std::string::npos;
        if (end == std::string::npos)
            end = value.size();
        std::string entry = value.substr(start, end - start);
        ValueTypeFault fault = CheckEntry(type, entry);
        if (fault != ValueTypeFault::None)
        {
            if (badEntry)
                *badEntry = entry;
            return fault;
        }
        start = end + 1;
    }
    return ValueTypeFault::None;
}

std::string ValueTypeFaultText(ValueTypeFault fault)
{
    switch (fault)
    {
    case ValueTypeFault::NotBool:
        return "Variables of type BOOL must be set to 0 (false) or 1 (true)";
    case ValueTypeFault::NotInt:
        return "Variables of type INT must be set to a whole number";
    case ValueTypeFault::NotReal:
        return "Variables of type REAL must be set to a number";
    case ValueTypeFault::None:
        break;
    }
    return std::string();
}

} // namespace mw
