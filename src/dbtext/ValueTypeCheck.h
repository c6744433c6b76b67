// Whether a record value reads as its variable's type. The compiler turns a
// value that does not (an int "12abc", a bool "true") into a number all the
// same, so the editor refuses such values when they are typed and the record
// check reports those already in files.
#pragma once

#include <string>

namespace mw {

enum class ValueTypeFault
{
    None,
    NotBool, // other than "0" or "1"
    NotInt,  // not a whole number (the part after a "." is ignored)
    NotReal, // not a number
};

// Checks every ";"-separated entry of an "array" variable, the whole value of
// any other class. Empty values and entries pass (the default applies), and
// types other than "bool", "int" and "real" always pass. badEntry receives
// the first entry that fails.
ValueTypeFault CheckValueType(const std::string& varClass, const std::string& type, const std::string& value,
                              std::string* badEntry = nullptr);

// The message a refused value shows, or empty for ValueTypeFault::None.
std::string ValueTypeFaultText(ValueTypeFault fault);

} // namespace mw
