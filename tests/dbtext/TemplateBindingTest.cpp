// Binding records to templates, and validation of names and values.
#include "dbtext/DbTemplate.h"
#include "dbtext/TemplateBinding.h"
#include "dbtext/TemplateValidation.h"
#include "support/FakeWorkspace.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

// Root: a, s (static, default "def"), p (picklist), inc (include); group G: b.
std::unique_ptr<DbTemplate> MakeTemplate()
{
    auto dbTemplate = std::make_unique<DbTemplate>();
    dbTemplate->Clear();
    DbGroup& root = dbTemplate->Root();
    root.variables.push_back(std::make_unique<DbVariable>("a", "variable", "int"));
    auto s = std::make_unique<DbVariable>("s", "static", "string");
    s->defaultValue = "def";
    root.variables.push_back(std::move(s));
    auto p = std::make_unique<DbVariable>("p", "picklist", "string");
    p->defaultValue = "low;medium;high";
    root.variables.push_back(std::move(p));
    auto inc = std::make_unique<DbVariable>("Include File", "variable", "include");
    inc->defaultValue = "%TEMPLATE_DIR%x.tpl";
    root.variables.push_back(std::move(inc));
    auto group = std::make_unique<DbGroup>("G", "list");
    group->variables.push_back(std::make_unique<DbVariable>("b", "array", "real"));
    root.subgroups.push_back(std::move(group));
    return dbTemplate;
}

TEST(TemplateBinding, BindingDropsUndeclaredValuesAndApplyingFillsDefaults)
{
    auto dbTemplate = MakeTemplate();
    DbRecord record;
    record.SetValue("a", "5");
    record.SetValue("s", "changed");
    record.SetValue("stray", "x");
    record.SetValue("templateFileName", "kept");
    test::FakeWorkspace workspace("/w/", "/b/");

    BindRecord(*dbTemplate, record, true, &workspace);
    EXPECT_FALSE(record.HasValue("stray"));
    EXPECT_TRUE(record.FileState().IsModified());
    ASSERT_EQ(workspace.log.size(), 1u);
    EXPECT_EQ(workspace.log[0].text, "DbEditor: Deleting variable \"stray\" from record \"\"");

    ApplyTemplate(*dbTemplate, record);
    DbRecord::ValueMap expected = {{"a", "5"}, {"b", ""}, {"p", "low"}, {"s", "def"}, {"templateFileName", "kept"}};
    EXPECT_EQ(record.Values(), expected);
    EXPECT_EQ(dbTemplate->Root().FindVariable("p")->value, "low");

    DbRecord quiet;
    quiet.SetValue("stray", "x");
    workspace.log.clear();
    BindRecord(*dbTemplate, quiet, false, &workspace);
    EXPECT_TRUE(workspace.log.empty());
}

TEST(TemplateBinding, PicklistDefaultIsTheFirstItem)
{
    EXPECT_EQ(FirstPicklistItem("low;medium;high"), "low");
    EXPECT_EQ(FirstPicklistItem("low"), "low");
    EXPECT_EQ(FirstPicklistItem(";x"), "");
}

TEST(TemplateValidation, ReservedNamesDuplicatesSpacesAndCommas)
{
    auto dbTemplate = MakeTemplate();
    test::ScriptedPrompt prompt;
    auto check = [&](DbVariable variable, EditorMode mode) {
        prompt.messages.clear();
        int result = ValidateVariable(*dbTemplate, variable, mode, prompt);
        if (result == 0)
        {
            EXPECT_EQ(prompt.messages.size(), 1u);
            EXPECT_EQ(prompt.messages[0].caption, "Format Error");
            return prompt.messages[0].text;
        }
        return std::string("ok");
    };
    EXPECT_EQ(check(DbVariable("All Groups", "variable", "int"), EditorMode::Record),
              "\"All Groups\" is a reserved identifier.  Please choose a different name.");
    EXPECT_EQ(check(DbVariable("Include File", "variable", "string"), EditorMode::Record),
              "\"Include File\" is a reserved identifier.  Please choose a different name.");
    EXPECT_EQ(check(DbVariable("Object Variable", "variable", "eqnVariable"), EditorMode::Record), "ok");

    // A variable named like an existing group: refused only in template mode.
    dbTemplate->Root().variables.push_back(std::make_unique<DbVariable>("G", "variable", "int"));
    EXPECT_EQ(check(DbVariable("G", "variable", "int"), EditorMode::Template),
              "\"G\" already exists in this template as a group or variable name.  Please choose a different name.");
    EXPECT_EQ(check(DbVariable("G", "variable", "int"), EditorMode::Record), "ok");
    EXPECT_EQ(check(DbVariable("two words", "variable", "int"), EditorMode::Template),
              "The variable name \"two words\" contains the illegal character \" \".  Please choose a different name.");

    DbVariable commaValue("a", "variable", "int");
    commaValue.value = "1,2";
    const std::string commaMessage = "The value for variable \"a\" contains the illegal character \",\".  Please "
                                     "choose a different name.\nThe Array delimiter is \";\" not \",\"";
    EXPECT_EQ(check(commaValue, EditorMode::Record), commaMessage);
    commaValue.value = "1;2";
    EXPECT_EQ(check(commaValue, EditorMode::Record), "ok");
    DbVariable commaDefault("z", "variable", "int");
    commaDefault.defaultValue = "1,2";
    EXPECT_EQ(check(commaDefault, EditorMode::Template),
              "The value for variable \"z\" contains the illegal character \",\".  Please choose a different "
              "name.\nThe Array delimiter is \";\" not \",\"");
}

TEST(TemplateValidation, TypedValues)
{
    test::ScriptedPrompt prompt;
    std::string stored;
    DbVariable integer("n", "variable", "int");
    ASSERT_TRUE(ValidateTypedValue(integer, "3.7", prompt, stored));
    EXPECT_EQ(stored, "3");
    ASSERT_TRUE(ValidateTypedValue(integer, ".5", prompt, stored));
    EXPECT_EQ(stored, "0");
    DbVariable flag("f", "variable", "bool");
    EXPECT_FALSE(ValidateTypedValue(flag, "2", prompt, stored));
    EXPECT_EQ(prompt.messages.back().text, "Variables of type BOOL must be set to 0 (false) or 1 (true)");
    EXPECT_TRUE(ValidateTypedValue(flag, "1", prompt, stored));
    DbVariable pick("p", "picklist", "string");
    pick.defaultValue = "low;high";
    EXPECT_TRUE(ValidateTypedValue(pick, "high", prompt, stored));
    EXPECT_FALSE(ValidateTypedValue(pick, "mid", prompt, stored));
    EXPECT_EQ(prompt.messages.back().text, "Pick list value must be one of: low;high");
    pick.defaultValue = "";
    EXPECT_FALSE(ValidateTypedValue(pick, "", prompt, stored));
}

TEST(TemplateValidation, CollisionsReportEachOccurrenceWithItsFile)
{
    auto dbTemplate = MakeTemplate();
    auto fromInclude = std::make_unique<DbVariable>("a", "variable", "int");
    fromInclude->sourceFile = "/w/inc1.tpl";
    auto group = std::make_unique<DbGroup>("G", "list");
    group->sourceFile = "/w/inc2.tpl";
    dbTemplate->Root().subgroups[0]->variables.push_back(std::move(fromInclude));
    dbTemplate->Root().subgroups.push_back(std::move(group));
    test::FakeWorkspace workspace("/w/", "/b/");
    test::ScriptedPrompt prompt;
    EXPECT_EQ(CheckCollisions(*dbTemplate, &workspace, prompt), 1);
    std::vector<std::string> expected = {
        "Error: Variable was found in the template more than once", "    Variable: \"a\"",
        "    In file: \"Currently Edited File\"", "",
        "Error: Variable was found in the template more than once", "    Variable: \"a\"",
        "    In file: \"/w/inc1.tpl\"", "",
        "Error: group was found in the template more than once", "    Group: \"G\"",
        "    In file: \"Currently Edited File\"", "",
        "Error: group was found in the template more than once", "    Group: \"G\"",
        "    In file: \"/w/inc2.tpl\"", ""};
    EXPECT_EQ(workspace.Texts(), expected);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text,
              "Group or Variable name collisions found.  Detailed error logging can be found in MWEdit.log");

    auto clean = MakeTemplate();
    workspace.log.clear();
    EXPECT_EQ(CheckCollisions(*clean, &workspace, prompt), 0);
    EXPECT_TRUE(workspace.log.empty());
    EXPECT_EQ(CountNameUses(*clean, "b"), 1);
}

} // namespace
} // namespace mw
