// The synthetic workspace generator.
#include "WorkspaceGenerator.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <algorithm>
#include <random>

namespace mw::bench {
namespace {

constexpr int kTemplates = 8;
constexpr int kRecordsPerFolder = 250;

struct VariableSpec
{
    std::string name;
    std::string varClass;
    std::string type;
};

std::string VariableBlock(const VariableSpec& spec, const std::string& indent)
{
    return indent + "Variable\n" + indent + "{\n" + indent + "\tname = \"" + spec.name + "\"\n" + indent +
           "\tclass = \"" + spec.varClass + "\"\n" + indent + "\ttype = \"" + spec.type + "\"\n" + indent +
           "\tdescription = \"generated\"\n" + indent + "\tvalue = \"\"\n" + indent + "\tdefaultValue = \"\"\n" +
           indent + "}\n\n";
}

std::vector<VariableSpec> SharedVariables()
{
    std::vector<VariableSpec> specs;
    for (int i = 0; i < 20; ++i)
        specs.push_back({"common" + std::to_string(i), "variable", i % 2 ? "real" : "string"});
    specs.push_back({"Class", "static", "string"});
    return specs;
}

std::vector<VariableSpec> OwnVariables(int templateIndex)
{
    std::vector<VariableSpec> specs;
    const char* types[] = {"int", "real", "string", "bool", "file_dbr", "file_tex"};
    for (int i = 0; i < 40; ++i)
        specs.push_back({"t" + std::to_string(templateIndex) + "var" + std::to_string(i), i % 7 == 0 ? "array" : "variable",
                         types[i % 6]});
    return specs;
}

void WriteTemplate(const std::string& path, const std::string& includePath, const std::vector<VariableSpec>& specs)
{
    std::string text = "Group\n{\n\tname = \"All Groups\"\n\ttype = \"list\"\n\n";
    if (!includePath.empty())
        text += VariableBlock({"Include File", "variable", "include"}, "\t");
    if (!includePath.empty())
    {
        size_t at = text.rfind("defaultValue = \"\"");
        text.replace(at, 17, "defaultValue = \"%TEMPLATE_DIR%" + includePath + "\"");
    }
    text += "\tGroup\n\t{\n\t\tname = \"Values\"\n\t\ttype = \"list\"\n\n";
    for (const VariableSpec& spec : specs)
        text += VariableBlock(spec, "\t\t");
    text += "\t}\n\n}\n\n";
    WriteTextFileAtomic(path, text);
}

std::string Value(const VariableSpec& spec, std::mt19937& random)
{
    auto number = [&](int limit) { return std::to_string(int(random() % unsigned(limit))); };
    std::string single;
    if (spec.type == "int")
        single = number(100000);
    else if (spec.type == "real")
        single = number(1000) + "." + number(1000);
    else if (spec.type == "bool")
        single = number(2);
    else if (spec.type == "file_dbr")
        single = "records\\folder" + number(200) + "\\record" + number(250) + ".dbr";
    else if (spec.type == "file_tex")
        single = "textures/set" + number(50) + "/texture" + number(400) + ".tex";
    else
        single = "text value " + number(5000);
    if (spec.varClass != "array")
        return single;
    std::string joined = single;
    for (int i = 0; i < 3; ++i)
        joined += ";" + Value({spec.name, "variable", spec.type}, random);
    return joined;
}

} // namespace

GeneratedWorkspace GenerateWorkspace(const std::string& root, int recordCount, unsigned seed)
{
    GeneratedWorkspace workspace;
    workspace.workingDir = root + "Working/";
    workspace.buildDir = root + "Build/";
    EnsureFolders(workspace.workingDir + "database/Templates/");
    EnsureFolders(workspace.buildDir);
    std::mt19937 random(seed);

    // base.tpl <- shared.tpl <- t0..t7.tpl: every record template includes two deep.
    WriteTemplate(workspace.workingDir + "database/Templates/base.tpl", "", {{"Class", "static", "string"}});
    std::vector<VariableSpec> shared = SharedVariables();
    WriteTemplate(workspace.workingDir + "database/Templates/shared.tpl", "Database\\Templates\\base.tpl", shared);
    std::vector<std::vector<VariableSpec>> own;
    for (int t = 0; t < kTemplates; ++t)
    {
        own.push_back(OwnVariables(t));
        WriteTemplate(workspace.workingDir + "database/Templates/t" + std::to_string(t) + ".tpl",
                      "Database\\Templates\\shared.tpl", own.back());
    }

    for (int r = 0; r < recordCount; ++r)
    {
        int t = r % kTemplates;
        std::string folder = "database/records/folder" + std::to_string(r / kRecordsPerFolder) + "/";
        if (r % kRecordsPerFolder == 0)
            EnsureFolders(workspace.workingDir + folder);
        std::string text = "templateName,%TEMPLATE_DIR%Database\\Templates\\t" + std::to_string(t) + ".tpl,\n";
        std::vector<std::pair<std::string, std::string>> values;
        for (const VariableSpec& spec : shared)
            values.emplace_back(spec.name, spec.name == "Class" ? "Generated" + std::to_string(t) : Value(spec, random));
        for (const VariableSpec& spec : own[size_t(t)])
            values.emplace_back(spec.name, Value(spec, random));
        std::sort(values.begin(), values.end());
        for (const auto& [name, value] : values)
            text += name + "," + value + ",\n";
        std::string path = workspace.workingDir + folder + "record" + std::to_string(r % kRecordsPerFolder) + ".dbr";
        WriteTextFileAtomic(path, text);
        workspace.recordPaths.push_back(path);
    }
    return workspace;
}

} // namespace mw::bench
