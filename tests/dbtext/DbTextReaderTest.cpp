// The tokenizer: comments, quoting, punctuation, directives, delimited fields.
#include "dbtext/DbTextReader.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

std::vector<std::string> Tokens(const std::string& text, std::vector<std::string> symbols = {}, bool strip = true)
{
    DbTextReader reader(text.data(), text.size(), std::move(symbols), strip);
    std::vector<std::string> tokens;
    while (!reader.AtEnd())
    {
        std::string token = reader.NextToken();
        // An empty token at the end means the end, not a token.
        if (token.empty() && reader.AtEnd())
            break;
        tokens.push_back(token);
    }
    return tokens;
}

using V = std::vector<std::string>;

TEST(DbTextReader, TokenTable)
{
    struct Case
    {
        std::string text;
        V tokens;
    };
    const Case cases[] = {
        {"", {}},
        {"  // only a comment\n /* and a block */ ", {}},
        {"a//c\nb", {"a", "b"}},
        {"a/*c*/b", {"a", "b"}},
        {"a/**/b", {"a", "b"}},
        {"a /*/ b */ c", {"a", "c"}},
        {"a /* unclosed", {"a"}},
        {"a=b", {"a", "=", "b"}},
        {"a-b.c_2", {"a-b.c_2"}},
        {"a,b", {"a", ",", "b"}},
        {"\"a b\"", {"a b"}},
        {"\"\" x", {"", "x"}},
        {"\"open to end", {"open to end"}},
        {"#include x", {"#", "include", "x"}},
        {"x #", {"x", "#"}},
        {std::string("w\x80\xff\0z y", 7), {std::string("w\x80\xff\0z", 5), "y"}},
        {"#ifdef X\na\n#else\nb\n#endif\nc", {"b", "c"}},
        {"#ifndef X\na\n#else\nb\n#endif\nc", {"a", "c"}},
        {"#ifdef X\n#ifdef Y\na\n#else\nb\n#endif\nc\n#endif\nd", {"d"}},
        {"#ifdef X a #ifndef Y #endif #else b #endif", {"b"}},
        {"a #endif b", {"a"}},
        {"#ifndef X a #else b #else c #endif d", {"a"}},
        {"#ifdef X a", {}},
        {"#ifdefX a", {}},
        // A directive word inside a comment of a skipped region still counts.
        {"#ifdef X\nq /* #endif */ a #endif b", {"*", "/", "a"}},
        // Comments after the symbol are skipped with it, before the block is.
        {"#ifdef X /* #endif */ a #endif b", {"b"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Tokens(c.text), c.tokens) << c.text;
}

TEST(DbTextReader, DefinedSymbolsSelectTheFirstBranch)
{
    EXPECT_EQ(Tokens("#ifdef X a #else b #endif", {"X"}), V{"a"});
    EXPECT_EQ(Tokens("#ifndef X a #else b #endif", {"X"}), V{"b"});
    EXPECT_EQ(Tokens("#ifdef x a #else b #endif", {"X"}), V{"b"});
    EXPECT_EQ(Tokens("#ifdefX a", {"X"}), V{"a"});
}

TEST(DbTextReader, QuotesAreKeptWithoutTheStripFlag)
{
    EXPECT_EQ(Tokens("\"a b\" c", {}, false), (V{"\"a b\"", "c"}));
}

TEST(DbTextReader, LineCountCountsLineFeedsOnly)
{
    std::string text = "a,1,\r\nb,2,\r\n\"x\ny\"\r\n/*\n*/c";
    DbTextReader reader(text.data(), text.size(), {}, true);
    while (!reader.AtEnd())
        reader.NextToken();
    EXPECT_EQ(reader.LineCount(), 6);
}

TEST(DbTextReader, ReadDelimitedTable)
{
    struct Case
    {
        std::string text;
        std::string name;
        std::string value;
    };
    const Case cases[] = {
        {"a,\"1;2\",", "a", "1;2"},
        {"a,,", "a", ""},
        {"a , x y ,", "a", " x y "},
        {"a,\"abc,", "a", "abc"},
        {"a,x//not a comment,", "a", "x//not a comment"},
        {"a,x", "a", "x"},
        {"a,", "a", ""},
        {"a,first\nb,second,", "a", "first\nb"},
        {"a x,", "a", "x"},
        {"a;,", "a", ";"},
    };
    for (const Case& c : cases)
    {
        DbTextReader reader(c.text.data(), c.text.size(), {}, true);
        EXPECT_EQ(reader.NextToken(), c.name) << c.text;
        EXPECT_EQ(reader.ReadDelimited(',', ',', true), c.value) << c.text;
    }
}

TEST(DbTextReader, ReadDelimitedHandlesDirectivesAndAnyOpeningByte)
{
    std::string text = "#ifdef X\n,skipped,\n#endif\n,kept,";
    DbTextReader reader(text.data(), text.size(), {}, true);
    EXPECT_EQ(reader.ReadDelimited(',', ',', true), "kept");
    EXPECT_TRUE(reader.AtEnd());

    std::string any = "[x] rest";
    DbTextReader anyReader(any.data(), any.size(), {}, false);
    EXPECT_EQ(anyReader.ReadDelimited(0, ']', false), "[x]");
}

TEST(DbTextReader, NeverReadsPastTheBuffer)
{
    // The buffer is not terminated: a copy without slack makes ASan see any overrun.
    const std::string samples[] = {"/", "/*", "#", "#ifdef", "#ifdef X", "\"", "a,\"", "#else", "#endif", ",", "/*/"};
    for (const std::string& sample : samples)
    {
        std::vector<char> exact(sample.begin(), sample.end());
        DbTextReader reader(exact.data(), exact.size(), {}, true);
        int guard = 0;
        while (!reader.AtEnd() && ++guard < 100)
        {
            reader.NextToken();
            reader.ReadDelimited(',', ',', true);
        }
        EXPECT_LT(guard, 100) << sample;
    }
}

} // namespace
} // namespace mw
