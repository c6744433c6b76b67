// Multiple-value editor rules and arithmetic.
#include "MultipleEditRules.h"

#include "TemplateEditing.h"
#include "platform/PathRules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mw {
namespace {

// The characters after the first '.'; none without one.
int DecimalPlaces(const std::string& text)
{
    size_t dot = text.find('.');
    return dot == std::string::npos ? 0 : int(text.size() - dot - 1);
}

long IntegerValue(const std::string& text)
{
    return std::strtol(text.c_str(), nullptr, 10);
}

double RealValue(const std::string& text)
{
    return std::strtod(text.c_str(), nullptr);
}

} // namespace

std::string MultipleEditTitle(const std::string& variableName, bool readOnly)
{
    return Format("Editing variable: %s%s", variableName.c_str(), readOnly ? " - READ ONLY" : "");
}

bool MultipleEditValueEnabled(bool readOnly, const std::string& varClass, const std::string& type)
{
    bool editableClass = varClass == "variable" || varClass == "array" || varClass == "picklist";
    return !readOnly && editableClass && type != "include";
}

bool MultipleEditArithmeticEnabled(bool readOnly, const std::string& varClass, const std::string& type)
{
    return !readOnly && (varClass == "variable" || varClass == "array") && (type == "int" || type == "real");
}

std::string BrowseExtensions(const std::string& type)
{
    if (type == "include")
        return "tpl";
    if (type.starts_with("file_"))
        return type.substr(5);
    return std::string();
}

std::string CutIntOperand(const std::string& operand)
{
    return operand.substr(0, operand.find('.'));
}

std::string FormatRealValue(double value, int decimals)
{
    std::string text = Format("%.*f", decimals, value);
    // "0.5" -> ".5" and "-0.5" -> "-.5"; "0" has no point and stays.
    size_t digits = text[0] == '-' ? 1 : 0;
    if (text.size() > digits + 1 && text[digits] == '0' && text[digits + 1] == '.')
        text.erase(digits, 1);
    return text;
}

std::string AddToValue(const std::string& rowText, const std::string& operand, const std::string& type)
{
    if (type == "int")
        return std::to_string(IntegerValue(rowText) + IntegerValue(CutIntOperand(operand)));
    int decimals = std::max(DecimalPlaces(rowText), DecimalPlaces(operand));
    return FormatRealValue(RealValue(rowText) + RealValue(operand), decimals);
}

std::string PercentOfValue(const std::string& rowText, const std::string& operand, const std::string& type)
{
    if (type == "int")
    {
        double row = double(IntegerValue(rowText));
        double result = row + row * RealValue(CutIntOperand(operand)) / 100.0;
        return std::to_string(long(std::trunc(result + 0.5)));
    }
    double row = RealValue(rowText);
    int decimals = std::max(DecimalPlaces(rowText), DecimalPlaces(operand));
    return FormatRealValue(row + row * RealValue(operand) / 100.0, decimals);
}

} // namespace mw
