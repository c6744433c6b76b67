// The multiple-value editor's enabling rules and its add and percent
// arithmetic.
#include "dbtext/CellEditorKind.h"
#include "dbtext/FileValuePaths.h"
#include "dbtext/MultipleEditRules.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

TEST(MultipleEditArithmetic, AddAndPercentFollowTheIntAndRealRules)
{
    struct Case
    {
        const char* operation;
        const char* type;
        const char* row;
        const char* operand;
        const char* expected;
    };
    const Case cases[] = {
        {"percent", "int", "10", "15", "12"},
        {"percent", "int", "10", "-15", "9"},
        {"percent", "int", "10", "15.9", "12"},
        {"add", "real", "2.50", "1.5", "4.00"},
        {"add", "real", "0.5", "0", ".5"},
        {"add", "real", "0.25", "-0.5", "-.25"},
        {"add", "real", "2", "3", "5"},
        {"add", "real", "0.4", "-0.4", ".0"},
        {"add", "int", "7", "2.9", "9"},
        {"add", "int", "-3", "1", "-2"},
        {"percent", "real", "2.0", "50", "3.0"},
        {"percent", "real", "0.80", "-50", ".40"},
    };
    for (const Case& c : cases)
    {
        std::string result = std::string(c.operation) == "add" ? AddToValue(c.row, c.operand, c.type)
                                                                 : PercentOfValue(c.row, c.operand, c.type);
        EXPECT_EQ(result, c.expected) << c.operation << " " << c.type << " " << c.row << " " << c.operand;
    }
    EXPECT_EQ(CutIntOperand("2.9"), "2");
    EXPECT_EQ(CutIntOperand(".5"), "");
}

TEST(MultipleEditDialogRules, ReadOnlyStaticAndIncludeDialogsKeepTheirControlsDisabled)
{
    EXPECT_TRUE(MultipleEditValueEnabled(false, "variable", "int"));
    EXPECT_TRUE(MultipleEditValueEnabled(false, "picklist", "string"));
    EXPECT_FALSE(MultipleEditValueEnabled(true, "variable", "int"));
    EXPECT_FALSE(MultipleEditValueEnabled(false, "static", "string"));
    EXPECT_FALSE(MultipleEditValueEnabled(false, "variable", "include"));

    EXPECT_TRUE(MultipleEditArithmeticEnabled(false, "array", "real"));
    EXPECT_FALSE(MultipleEditArithmeticEnabled(true, "array", "real"));
    EXPECT_FALSE(MultipleEditArithmeticEnabled(false, "picklist", "int"));
    EXPECT_FALSE(MultipleEditArithmeticEnabled(false, "variable", "string"));

    EXPECT_EQ(MultipleEditTitle("speed", false), "Editing variable: speed");
    EXPECT_EQ(MultipleEditTitle("speed", true), "Editing variable: speed - READ ONLY");
    EXPECT_EQ(BrowseExtensions("include"), "tpl");
    EXPECT_EQ(BrowseExtensions("file_wav,mp3"), "wav,mp3");
    EXPECT_EQ(BrowseExtensions("string"), "");
}

TEST(CellEditorKind, EachCellGetsTheEditorOfItsColumnModeTypeAndClass)
{
    using K = CellEditorKind;
    // Template mode.
    EXPECT_EQ(ChooseCellEditor("Name", false, true, "int", "variable"), K::TextField);
    EXPECT_EQ(ChooseCellEditor("Name", false, true, "include", "variable"), K::None);
    EXPECT_EQ(ChooseCellEditor("Name", false, true, "eqnVariable", "variable"), K::None);
    EXPECT_EQ(ChooseCellEditor("Class", false, true, "int", "variable"), K::ClassChoice);
    EXPECT_EQ(ChooseCellEditor("Type", false, true, "int", "variable"), K::TypeChoice);
    EXPECT_EQ(ChooseCellEditor("Description", false, true, "int", "variable"), K::TextField);
    EXPECT_EQ(ChooseCellEditor("Default Value", false, true, "include", "variable"), K::FileButton);
    EXPECT_EQ(ChooseCellEditor("Default Value", false, true, "int", "static"), K::TextField);
    // Record mode.
    EXPECT_EQ(ChooseCellEditor("Name", false, false, "int", "variable"), K::None);
    EXPECT_EQ(ChooseCellEditor("Type", false, false, "int", "variable"), K::None);
    EXPECT_EQ(ChooseCellEditor("a.dbr", true, false, "file_tex", "variable"), K::FileButton);
    EXPECT_EQ(ChooseCellEditor("a.dbr", true, false, "int", "static"), K::None);
    EXPECT_EQ(ChooseCellEditor("a.dbr", true, false, "string", "picklist"), K::PicklistChoice);
    EXPECT_EQ(ChooseCellEditor("a.dbr", true, false, "equation", "variable"), K::EquationEditor);
    EXPECT_EQ(ChooseCellEditor("Value", false, false, "real", "array"), K::TextField);
}

TEST(FileValuePaths, ChosenFilesBecomeDatabaseRelativeValuesOrTemplatePaths)
{
    EXPECT_EQ(RelativeFileValue("/w/database/records/hero.dbr", "/w/", ""), "records\\hero.dbr");
    EXPECT_EQ(RelativeFileValue("/w/CustomMaps/m1/assets/tex/a.tex", "/w/", "m1"), "tex\\a.tex");
    // The removal is case-sensitive.
    EXPECT_EQ(RelativeFileValue("/w/Database/x.dbr", "/w/", ""), "Database\\x.dbr");
    std::string value;
    ASSERT_TRUE(TemplateDirValue("/w/Database/Templates/unit.tpl", "/w/", value));
    EXPECT_EQ(value, "%TEMPLATE_DIR%Database\\Templates\\unit.tpl");
    EXPECT_FALSE(TemplateDirValue("/elsewhere/unit.tpl", "/w/", value));
}

} // namespace
} // namespace mw
