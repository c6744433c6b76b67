// Reads a template of many variables and binds a record that sets each of
// them, next to the same work done through one search of the group per
// variable (the way a group is built and searched one call at a time).
//   bench_wide_template [VARIABLES]   (default 100000)
#include "BenchSupport.h"
#include "dbtext/DbRecord.h"
#include "dbtext/DbTemplate.h"
#include "dbtext/TemplateBinding.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace mw;

int main(int argc, char** argv)
{
    int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::string text = "Group\n{\n    name = \"All Groups\"\n    type = \"list\"\n";
    std::string record = "templateName,wide.tpl,\r\n";
    for (int i = 0; i < count; ++i)
    {
        std::string name = "v" + std::to_string(i);
        text += "    Variable\n    {\n        name = \"" + name +
                "\"\n        class = \"variable\"\n        type = \"int\"\n        description = \"\"\n"
                "        value = \"\"\n        defaultValue = \"0\"\n    }\n";
        record += name + "," + std::to_string(i) + ",\r\n";
    }
    text += "}\n";

    bench::Stopwatch read;
    DbTemplate dbTemplate;
    int readResult = dbTemplate.Read(text.data(), text.size());
    double readSeconds = read.Seconds();
    DbRecord dbRecord;
    dbRecord.Read(record.data(), record.size());
    bench::Stopwatch bind;
    BindRecord(dbTemplate, dbRecord, false, nullptr);
    ApplyTemplate(dbTemplate, dbRecord);
    double bindSeconds = bind.Seconds();

    // Baseline: the same group built by AddVariable and bound by FindVariable,
    // each of which searches the group.
    std::vector<DbVariable*> variables;
    dbTemplate.Root().CollectVariables(variables);
    bench::Stopwatch baseline;
    DbGroup group("All Groups", "list");
    for (DbVariable* variable : variables)
        group.AddVariable(std::make_unique<DbVariable>(*variable));
    size_t found = 0;
    for (const auto& [name, value] : dbRecord.Values())
        found += group.FindVariable(name) != nullptr;
    double baselineSeconds = baseline.Seconds();

    std::printf("%d variables (%.1f MB of template)\n", count, text.size() / 1e6);
    std::printf("read template:            %8.3f s\n", readSeconds);
    std::printf("bind + apply record:      %8.3f s\n", bindSeconds);
    std::printf("baseline, a search per variable (build + bind): %8.3f s  (%zu found)\n", baselineSeconds, found);
    return readResult == 1 && variables.size() == size_t(count) ? 0 : 1;
}
