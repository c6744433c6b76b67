// A database record: the template it names and its values, kept in
// ascending byte order of the name.
#pragma once

#include "DbDocument.h"

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mw {

class DbRecord : public DbDocument
{
public:
    using ValueMap = std::map<std::string, std::string>;
    // A name and its value text, as views into a record's bytes.
    using ValueView = std::pair<std::string_view, std::string_view>;

    DbRecord();

    // Parses record text without storing it: the template name (the last
    // one given; empty when none), the values in file order and the history
    // entries as written, all views into the bytes. Read stores what this finds.
    static void ReadViews(const char* bytes, size_t length, std::string_view& templateName,
                          std::vector<ValueView>& values, std::vector<std::string_view>& history);
    // Puts values read by ReadViews in the order a record keeps its values
    // (bytes of the name), keeping the last value of a name given twice.
    static void SortValues(std::vector<ValueView>& values);

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
