// The template format, the group tree and include merging.
#include "dbtext/DbTemplate.h"
#include "platform/FileSystem.h"
#include "support/FakeWorkspace.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

const std::string kData = MW_TEST_DATA_DIR;

bool ReadText(DbTemplate& dbTemplate, const std::string& text)
{
    return dbTemplate.Read(text.data(), text.size()) == 1;
}

std::string VariableText(const std::string& name, const std::string& type = "string",
                         const std::string& defaultValue = "", const std::string& varClass = "variable")
{
    return "Variable { name = \"" + name + "\" class = \"" + varClass + "\" type = \"" + type +
           "\" description = \"\" value = \"\" defaultValue = \"" + defaultValue + "\" }\n";
}

TEST(DbTemplateFormat, AFreshTemplateWritesTheEmptyRootGroup)
{
    TempFolder temp;
    DbTemplate dbTemplate;
    ASSERT_EQ(dbTemplate.FileState().New("tpl"), 1);
    EXPECT_EQ(dbTemplate.FileState().ShortName(), "Untitled.tpl");
    std::string text;
    ASSERT_EQ(dbTemplate.Write(text), 1);
    EXPECT_EQ(text, "Group\n{\n\tname = \"All Groups\"\n\ttype = \"list\"\n\n}\n\n");

    // Reading what a fresh template writes gives the same template back.
    DbTemplate again;
    ASSERT_TRUE(ReadText(again, text));
    EXPECT_EQ(again.Root().name, "All Groups");
    EXPECT_TRUE(again.Root().subgroups.empty());
    std::string rewritten;
    again.Write(rewritten);
    EXPECT_EQ(rewritten, text);
}

TEST(DbTemplateFormat, GoldenRoundTripThroughSave)
{
    TempFolder temp;
    WriteFile(temp / "monster.tpl", ReadFile(kData + "/templates/monster.tpl"));
    DbTemplate dbTemplate;
    ASSERT_EQ(dbTemplate.FileState().Open(temp / "monster.tpl", true), 1);
    DbGroup* header = nullptr;
    DbVariable* description = dbTemplate.Root().FindVariable("FileDescription", &header);
    ASSERT_NE(description, nullptr);
    EXPECT_EQ(description->value, "ignored value");
    EXPECT_EQ(header->name, "Header");
    ASSERT_EQ(dbTemplate.FileState().Save(), 1);
    EXPECT_EQ(ReadFile(temp / "monster.tpl"), ReadFile(kData + "/templates/monster.expected.tpl"));
}

TEST(DbTemplateFormat, GroupsOfOneNameMergeAndLaterVariablesReplaceEarlierOnes)
{
    DbTemplate dbTemplate;
    ASSERT_TRUE(ReadText(dbTemplate, "Group { name = \"A\" type = \"list\" " + VariableText("x", "int", "1") +
                                          VariableText("inc", "include", "a.tpl") + "}\n"
                                          "Group { name = \"A\" type = \"system\" " +
                                          VariableText("y") + VariableText("x", "real", "2") +
                                          VariableText("inc", "include", "b.tpl") + "}\n"));
    ASSERT_EQ(dbTemplate.Root().subgroups.size(), 1u);
    DbGroup& group = *dbTemplate.Root().subgroups[0];
    EXPECT_EQ(group.type, "system");
    std::vector<std::string> names;
    for (const auto& variable : group.variables)
        names.push_back(variable->name + ":" + variable->type + ":" + variable->defaultValue);
    // AppendCopy does not look for equal names; AddVariable in one block does.
    EXPECT_EQ(names, (std::vector<std::string>{"x:int:1", "inc:include:a.tpl", "y:string:", "x:real:2",
                                               "inc:include:b.tpl"}));

    DbTemplate sameBlock;
    ASSERT_TRUE(ReadText(sameBlock, "Group { name = \"B\" type = \"list\" " + VariableText("x", "int", "1") +
                                         VariableText("y") + VariableText("x", "real", "2") +
                                         VariableText("i", "include", "1") + VariableText("i", "include", "2") +
                                         "}\n"));
    DbGroup& b = *sameBlock.Root().subgroups[0];
    ASSERT_EQ(b.variables.size(), 4u);
    EXPECT_EQ(b.variables[0]->type, "real");
    EXPECT_EQ(b.variables[0]->defaultValue, "2");
    EXPECT_EQ(b.variables[1]->name, "y");

    // A later variable of a name a subgroup already holds replaces that one.
    DbTemplate nested;
    ASSERT_TRUE(ReadText(nested, "Group { name = \"C\" type = \"list\" Group { name = \"D\" type = \"list\" " +
                                      VariableText("z", "int", "1") + "} " + VariableText("z", "real", "3") + "}\n"));
    DbGroup& c = *nested.Root().subgroups[0];
    EXPECT_TRUE(c.variables.empty());
    ASSERT_EQ(c.subgroups.size(), 1u);
    ASSERT_EQ(c.subgroups[0]->variables.size(), 1u);
    EXPECT_EQ(c.subgroups[0]->variables[0]->defaultValue, "3");
}

TEST(DbTemplateFormat, MalformedBlocksFailButKeepEarlierGroups)
{
    DbTemplate spaced;
    EXPECT_FALSE(ReadText(spaced, "Group { name = \"A\" type = \"list\" }\n"
                                  "Group { name = two words type = \"list\" }\n"));
    ASSERT_EQ(spaced.Root().subgroups.size(), 1u);
    EXPECT_EQ(spaced.Root().subgroups[0]->name, "A");

    DbTemplate missingEquals;
    EXPECT_FALSE(ReadText(missingEquals, "Group { name \"A\" }"));
    DbTemplate garbage;
    EXPECT_TRUE(ReadText(garbage, "random words ; \x01\x02 Groupless"));
}

TEST(DbGroupTree, SearchOrdersAndAppendCopy)
{
    DbGroup root("All Groups", "list");
    auto a = std::make_unique<DbGroup>("A", "list");
    auto a1 = std::make_unique<DbGroup>("Target", "list");
    a1->variables.push_back(std::make_unique<DbVariable>("v", "variable", "int"));
    a->subgroups.push_back(std::move(a1));
    auto b = std::make_unique<DbGroup>("Target", "list");
    b->variables.push_back(std::make_unique<DbVariable>("v", "variable", "real"));
    DbGroup* first = a->subgroups[0].get();
    root.subgroups.push_back(std::move(a));
    root.subgroups.push_back(std::move(b));
    EXPECT_EQ(root.FindGroup("Target"), first);
    EXPECT_EQ(root.FindGroup("All Groups"), nullptr);
    DbGroup* holder = nullptr;
    EXPECT_EQ(root.FindVariable("v", &holder)->type, "int");
    EXPECT_EQ(holder, first);

    root.variables.push_back(std::make_unique<DbVariable>("v", "variable", "bool"));
    EXPECT_EQ(root.FindVariable("v")->type, "bool");

    root.SetSourceFile("inc.tpl");
    EXPECT_EQ(first->variables[0]->sourceFile, "inc.tpl");

    // A variable added to a group takes the group's source file and fills
    // the earlier definition wherever it sits in the subtree.
    auto replacement = std::make_unique<DbVariable>("v", "array", "string");
    root.sourceFile = "";
    root.AddVariable(std::move(replacement));
    EXPECT_EQ(root.variables.size(), 1u);
    EXPECT_EQ(root.variables[0]->varClass, "array");
    EXPECT_EQ(root.variables[0]->sourceFile, "");

    first->AppendCopy(*first);
    EXPECT_EQ(first->variables.size(), 2u);
}

class IncludeTest : public ::testing::Test
{
protected:
    IncludeTest() : workspace(temp.Path(), temp / "build/") {}

    void WriteTemplate(const std::string& relative, const std::string& body)
    {
        WriteFile(temp / relative, "Group { name = \"All Groups\" type = \"list\"\n" + body + "}\n");
    }

    TempFolder temp;
    test::FakeWorkspace workspace;
};

TEST_F(IncludeTest, IncludesMergeInnermostFirstWithoutSystemGroups)
{
    WriteTemplate("database/templates/base.tpl",
                  VariableText("baseVar", "int", "7") +
                      "Group { name = \"Header\" type = \"system\" " + VariableText("ActorName") + "}\n" +
                      "Group { name = \"Stats\" type = \"list\" " + VariableText("health", "int", "10") + "}\n");
    WriteTemplate("database/templates/middle.tpl",
                  VariableText("Include File", "include", "%template_dir%Database\\Templates\\Base.tpl") +
                      "Group { name = \"Stats\" type = \"list\" " + VariableText("mana", "int") + "}\n");
    WriteTemplate("database/templates/top.tpl",
                  "Group { name = \"Body\" type = \"list\" " +
                      VariableText("Include File", "include", "%TEMPLATE_DIR%database/templates/middle.tpl") +
                      "}\n");
    DbTemplate top;
    ASSERT_EQ(top.FileState().Open(temp / "database/templates/top.tpl", true), 1);
    ASSERT_EQ(top.LoadIncludes(temp.Path(), &workspace), 1);
    EXPECT_TRUE(workspace.log.empty());

    DbGroup* body = top.Root().FindGroup("Body");
    ASSERT_NE(body, nullptr);
    // The included root's variables land in the group that holds the include.
    DbGroup* holder = nullptr;
    DbVariable* baseVar = top.Root().FindVariable("baseVar", &holder);
    ASSERT_NE(baseVar, nullptr);
    EXPECT_EQ(holder, body);
    EXPECT_EQ(baseVar->sourceFile, "");
    // "list" groups come with the include's resolved path as source file.
    DbGroup* stats = body->FindGroup("Stats");
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(stats->sourceFile, temp.Path() + "database/templates/middle.tpl");
    EXPECT_NE(stats->FindVariable("health"), nullptr);
    EXPECT_NE(stats->FindVariable("mana"), nullptr);
    // The system group of the included template is left out.
    EXPECT_EQ(top.Root().FindGroup("Header"), nullptr);
    // Include variables stay in place.
    EXPECT_EQ(body->variables[0]->type, "include");
}

TEST_F(IncludeTest, AMissingIncludeStopsWithItsLogLine)
{
    WriteTemplate("t.tpl", "Group { name = \"G\" type = \"list\" " +
                               VariableText("Include File", "include", "%TEMPLATE_DIR%none.tpl") + "}\n");
    DbTemplate dbTemplate;
    ASSERT_EQ(dbTemplate.FileState().Open(temp / "t.tpl", true), 1);
    EXPECT_EQ(dbTemplate.LoadIncludes(temp.Path(), &workspace), 0);
    ASSERT_EQ(workspace.log.size(), 1u);
    EXPECT_EQ(workspace.log[0].text, "Failed to Open Include File: \"" + temp.Path() + "none.tpl\" in group: \"G\"");
}

TEST_F(IncludeTest, IncludeCyclesFailInsteadOfRecursing)
{
    WriteTemplate("a.tpl", VariableText("Include File", "include", "%TEMPLATE_DIR%b.tpl"));
    WriteTemplate("b.tpl", VariableText("Include File", "include", "%TEMPLATE_DIR%A.TPL"));
    WriteTemplate("self.tpl", VariableText("Include File", "include", "%TEMPLATE_DIR%self.tpl"));
    DbTemplate a;
    ASSERT_EQ(a.FileState().Open(temp / "a.tpl", true), 1);
    EXPECT_EQ(a.LoadIncludes(temp.Path(), &workspace), 0);
    DbTemplate self;
    ASSERT_EQ(self.FileState().Open(temp / "self.tpl", true), 1);
    EXPECT_EQ(self.LoadIncludes(temp.Path(), &workspace), 0);
    EXPECT_EQ(workspace.log.back().text,
              "Failed to Open Include File: \"" + temp.Path() + "self.tpl\" in group: \"All Groups\"");
}

TEST(ResolveTemplatePath, RemovesTheFirstTemplateDirTokenInAnyCase)
{
    EXPECT_EQ(ResolveTemplatePath("%template_dir%Database\\Templates\\base.tpl", "C:\\W\\"),
              "C:\\W\\Database\\Templates\\base.tpl");
    EXPECT_EQ(ResolveTemplatePath("records\\x.tpl", "/w/"), "/w/records\\x.tpl");
    EXPECT_EQ(ResolveTemplatePath("%TEMPLATE_DIR%%TEMPLATE_DIR%x", "/w/"), "/w/%TEMPLATE_DIR%x");
}

} // namespace
} // namespace mw
