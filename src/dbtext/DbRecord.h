// A database record: the template it names and its values, kept in
// ascending byte order of the name.
#pragma once

#include "DbDocument.h"

#include <map>
#include <string>

namespace mw {

class DbRecord : public DbDocument
{
public:
    using ValueMap = std::map<std::string, std::string>;

    DbRecord();

    int Read(const char* bytes, size_t length) override;
    int Write(std::string& text) const override;
    int Clear() override;

    const std::string& GetTemplateName() const { return m_templateName; }
    // Also marks the record modified.
    void SetTemplateName(const std::string& name);
    // The value, or an empty string when the record has no such name.
    std::string GetValue(const std::string& name) const;
    bool HasValue(const std::string& name) const { return m_values.count(name) != 0; }
    void SetValue(const std::string& name, const std::string& value);
    void RemoveValue(const std::string& name);
    const ValueMap& Values() const { return m_values; }

private:
    std::string m_templateName;
    // std::string compares as unsigned bytes, which is the file's order.
    ValueMap m_values;
};

} // namespace mw
