// Record compilation: body entries, type codes, value readings, and the
// engine reader turning bodies back into record text.
#include "dbarchive/ByteWriter.h"
#include "dbarchive/DbArchive.h"
#include "dbarchive/DbArchiveStrings.h"
#include "dbarchive/RecordCompiler.h"
#include "dbarchive/TemplateVariableIndex.h"
#include "dbtext/DbRecord.h"
#include "dbtext/DbTemplate.h"
#include "platform/engine/LoadTableBinary.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace mw {
namespace {

void AddVariable(DbTemplate& dbTemplate, const std::string& name, const std::string& varClass, const std::string& type)
{
    dbTemplate.Root().variables.push_back(std::make_unique<DbVariable>(name, varClass, type));
}

std::vector<uint32_t> Words(const ByteWriter& writer)
{
    std::vector<uint32_t> words(writer.Size() / 4);
    std::memcpy(words.data(), writer.Data(), words.size() * 4);
    return words;
}

uint32_t Bits(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

class RecordCompilerTest : public ::testing::Test
{
protected:
    RecordCompilerTest()
    {
        dbTemplate.Clear();
        AddVariable(dbTemplate, "n", "variable", "int");
        AddVariable(dbTemplate, "r", "array", "real");
        AddVariable(dbTemplate, "s", "variable", "string");
        AddVariable(dbTemplate, "f", "variable", "file_dbr");
        AddVariable(dbTemplate, "b", "variable", "bool");
        AddVariable(dbTemplate, "e", "array", "equation");
        AddVariable(dbTemplate, "x", "variable", "eqnVariable");
        record.SetTemplateName("%TEMPLATE_DIR%Database\\Templates\\t.tpl");
    }

    WriteBinaryResult Compile(ByteWriter& writer, std::string* failed = nullptr)
    {
        return WriteBinary(record, writer, dbTemplate, "t.tpl", archive, failed);
    }

    DbTemplate dbTemplate;
    DbRecord record;
    DbArchive archive;
};

TEST_F(RecordCompilerTest, EntriesFollowTheRecordsNameOrderWithTypedValues)
{
    record.SetValue("n", "  42abc");
    record.SetValue("r", "1.5;2");
    record.SetValue("s", "Hello");
    record.SetValue("b", "true");
    record.SetValue("x", "7");
    record.SetValue("undeclared", "9");
    record.SetValue("e", "");
    ByteWriter writer(1024);
    ASSERT_EQ(Compile(writer), WriteBinaryResult::Written);
    StringMap& strings = archive.Strings();
    uint32_t templateName = *strings.Find("templateName");
    uint32_t templatePath = *strings.Find("%TEMPLATE_DIR%Database\\Templates\\t.tpl");
    std::vector<uint32_t> expected = {
        0x00010002, templateName, templatePath,
        0x00010003, *strings.Find("b"), 0,
        0x00010000, *strings.Find("n"), 42,
        0x00020001, *strings.Find("r"), Bits(1.5f), Bits(2.0f),
        0x00010002, *strings.Find("s"), *strings.Find("Hello"),
        0x00010004, *strings.Find("x"),
    };
    EXPECT_EQ(Words(writer), expected);
    EXPECT_FALSE(strings.Find("undeclared").has_value());
    EXPECT_FALSE(strings.Find("e").has_value());
}

TEST_F(RecordCompilerTest, ARecordWithoutValuesIsOneTemplateEntry)
{
    ByteWriter writer(1024);
    ASSERT_EQ(Compile(writer), WriteBinaryResult::Written);
    EXPECT_EQ(writer.Size(), 12u);
    // The index gives the same entries as the tree search.
    TemplateVariableIndex index(dbTemplate.Root());
    EXPECT_EQ(index.Find("r"), dbTemplate.Root().FindVariable("r"));
    EXPECT_EQ(index.Find("missing"), nullptr);
}

TEST_F(RecordCompilerTest, StringsAreSharedAndCaseSensitive)
{
    record.SetValue("s", "Same");
    ByteWriter first(1024);
    ASSERT_EQ(Compile(first), WriteBinaryResult::Written);
    uint32_t count = archive.Strings().Count();
    ByteWriter second(1024);
    ASSERT_EQ(Compile(second), WriteBinaryResult::Written);
    EXPECT_EQ(archive.Strings().Count(), count);
    record.SetValue("s", "same");
    ByteWriter third(1024);
    ASSERT_EQ(Compile(third), WriteBinaryResult::Written);
    EXPECT_EQ(archive.Strings().Count(), count + 1);
}

TEST_F(RecordCompilerTest, TheRecordMustNameTheLoadedTemplateFile)
{
    ByteWriter writer(1024);
    record.SetTemplateName("t.tpl");
    EXPECT_EQ(Compile(writer), WriteBinaryResult::TemplateMismatch);
    record.SetTemplateName("Templates/t.tpl");
    EXPECT_EQ(Compile(writer), WriteBinaryResult::TemplateMismatch);
    record.SetTemplateName("C:t.tpl");
    EXPECT_EQ(Compile(writer), WriteBinaryResult::Written);
    record.SetTemplateName("Templates\\T.tpl");
    EXPECT_EQ(Compile(writer), WriteBinaryResult::TemplateMismatch);
}

TEST_F(RecordCompilerTest, ArraysBeyondTheSixteenBitCountAreRefused)
{
    std::string values;
    for (int i = 0; i < 65536; ++i)
        values += "1;";
    record.SetValue("r", values);
    ByteWriter writer(1024);
    std::string failed;
    EXPECT_EQ(Compile(writer, &failed), WriteBinaryResult::TooManyValues);
    EXPECT_EQ(failed, "r");
    EXPECT_EQ(writer.Size(), 0u);
    values.resize(values.size() - 2);
    record.SetValue("r", values);
    EXPECT_EQ(Compile(writer), WriteBinaryResult::Written);
    EXPECT_EQ(Words(writer)[3], 0xFFFF0001u);
}

TEST(RecordCompiler, SplitArrayValueTable)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitArrayValue("1;2;3"), (V{"1", "2", "3"}));
    EXPECT_EQ(SplitArrayValue("1;2;"), (V{"1", "2"}));
    EXPECT_EQ(SplitArrayValue(";1"), (V{";1"}));
    EXPECT_EQ(SplitArrayValue("1;;2"), (V{"1", ";2"}));
    EXPECT_EQ(SplitArrayValue(""), V{});
    EXPECT_EQ(SplitArrayValue("x"), V{"x"});
}

TEST(RecordCompiler, ValueReadingsAndTypeCodes)
{
    EXPECT_EQ(ReadIntegerText("  42abc"), 42);
    EXPECT_EQ(ReadIntegerText("-7"), -7);
    EXPECT_EQ(ReadIntegerText("+3"), 3);
    EXPECT_EQ(ReadIntegerText("x1"), 0);
    EXPECT_EQ(ReadIntegerText("3.9"), 3);
    EXPECT_EQ(ReadIntegerText("99999999999"), 2147483647);
    EXPECT_EQ(ReadIntegerText("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(ReadFloatText(" 1.5e2x"), 150.0f);
    EXPECT_EQ(ReadFloatText("-.25"), -0.25f);
    EXPECT_EQ(ReadFloatText("7."), 7.0f);
    EXPECT_EQ(ReadFloatText("2e"), 2.0f);
    EXPECT_EQ(ReadFloatText("abc"), 0.0f);
    EXPECT_EQ(ReadFloatText("inf"), 0.0f);
    EXPECT_EQ(ReadFloatText("0x10"), 0.0f);
    EXPECT_TRUE(std::isinf(ReadFloatText("1e999")));
    EXPECT_EQ(ReadFloatText("1e-999"), 0.0f);
    EXPECT_EQ(ReadFloatText("0.1"), 0.1f);

    struct Case { const char* type; uint32_t code; };
    const Case cases[] = {{"int", 0}, {"real", 1}, {"string", 2}, {"file", 2}, {"file_wav,mp3", 2},
                          {"equation", 2}, {"bool", 3}, {"include", 4}, {"eqnVariable", 4}, {"Int", 4},
                          {"filex", 4}};
    for (const Case& c : cases)
        EXPECT_EQ(TypeCodeOf(c.type), c.code) << c.type;
    DbVariable variable("v", "array", "real");
    EXPECT_EQ(BinaryTypeCode(variable, 3), 0x00030001u);
}

TEST_F(RecordCompilerTest, TheEngineReaderTurnsABodyBackIntoRecordText)
{
    record.SetValue("n", "-12");
    record.SetValue("r", "0.1;2.5;1e10");
    record.SetValue("s", "text with spaces");
    record.SetValue("f", "records\\a.dbr");
    record.SetValue("b", "1");
    record.SetValue("e", "a*b;c");
    ByteWriter writer(1024);
    ASSERT_EQ(Compile(writer), WriteBinaryResult::Written);

    DbArchiveStrings strings(archive);
    GAME::LoadTableBinary table(&strings);
    GAME::BinaryReader reader(writer.Data(), writer.Size());
    ASSERT_TRUE(table.Deserialize(reader));
    std::string text;
    ASSERT_TRUE(table.Serialize(text));
    EXPECT_EQ(text, "templateName,%TEMPLATE_DIR%Database\\Templates\\t.tpl,\n"
                    "b,1,\ne,a*b;c,\nf,records\\a.dbr,\nn,-12,\nr,0.1;2.5;1e+10,\ns,text with spaces,\n");

    // A truncated body, or one naming a string the archive lacks, is refused.
    GAME::BinaryReader truncated(writer.Data(), writer.Size() - 2);
    EXPECT_FALSE(table.Deserialize(truncated));
    uint32_t bogus[2] = {0x00000004, 999999};
    GAME::BinaryReader unknown(bogus, sizeof bogus);
    EXPECT_FALSE(table.Deserialize(unknown));
}

} // namespace
} // namespace mw

namespace mw {
namespace {

// Remembered name ids give the bodies and string table of plain lookups,
// also when records use the names in other orders and add new texts between.
TEST_F(RecordCompilerTest, RememberedNameIdsGiveTheSameBodiesAndStrings)
{
    TemplateVariableIndex index(dbTemplate.Root());
    std::vector<uint32_t> nameIds(index.Count(), kUnknownId);
    DbArchive plain;
    const std::vector<std::vector<std::pair<std::string, std::string>>> records = {
        {{"s", "one"}, {"n", "1"}},
        {{"b", "1"}, {"s", "two"}, {"r", "1;2"}},
        {{"f", "a.dbr"}, {"n", "3"}, {"s", "one"}, {"e", "x;y"}},
    };
    for (const auto& values : records)
    {
        DbRecord next;
        next.SetTemplateName(record.GetTemplateName());
        for (const auto& [name, value] : values)
            next.SetValue(name, value);
        ByteWriter remembered(64);
        ByteWriter looked(64);
        ASSERT_EQ(WriteBinary(next, remembered, dbTemplate, "t.tpl", archive, nullptr, &index, &nameIds),
                  WriteBinaryResult::Written);
        ASSERT_EQ(WriteBinary(next, looked, dbTemplate, "t.tpl", plain, nullptr), WriteBinaryResult::Written);
        EXPECT_EQ(Words(remembered), Words(looked));
    }
    ASSERT_EQ(archive.Strings().Count(), plain.Strings().Count());
    for (uint32_t id = 0; id < plain.Strings().Count(); ++id)
        EXPECT_EQ(*archive.Strings().GetString(id), *plain.Strings().GetString(id));
}

} // namespace
} // namespace mw

namespace mw {
namespace {

// Record text read as views, out of order and with a name given twice,
// compiles to the body of the record holding the last value of each name.
TEST_F(RecordCompilerTest, ARecordReadAsViewsCompilesLikeTheLoadedRecord)
{
    const std::string text = "s,first,\nn,7,\ntemplateName,%TEMPLATE_DIR%Database\\Templates\\t.tpl,\n"
                             "fileNameHistoryEntry,old\\name.dbr,\nr,1;2,\ns,second,\nb,1,\n";
    std::string_view templateName;
    std::vector<DbRecord::ValueView> values;
    std::vector<std::string_view> history;
    DbRecord::ReadViews(text.data(), text.size(), templateName, values, history);
    DbRecord::SortValues(values);
    EXPECT_EQ(templateName, "%TEMPLATE_DIR%Database\\Templates\\t.tpl");
    EXPECT_EQ(history, std::vector<std::string_view>{"old\\name.dbr"});
    EXPECT_EQ(values, (std::vector<DbRecord::ValueView>{{"b", "1"}, {"n", "7"}, {"r", "1;2"}, {"s", "second"}}));

    record.SetValue("s", "second");
    record.SetValue("n", "7");
    record.SetValue("r", "1;2");
    record.SetValue("b", "1");
    ByteWriter expected(64);
    ASSERT_EQ(Compile(expected), WriteBinaryResult::Written);
    DbArchive other;
    ByteWriter fromViews(64);
    ASSERT_EQ(WriteBinary(templateName, values, fromViews, dbTemplate, "t.tpl", other, nullptr),
              WriteBinaryResult::Written);
    EXPECT_EQ(Words(fromViews), Words(expected));
}

} // namespace
} // namespace mw
