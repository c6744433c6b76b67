// The guide's text on PDF pages: encoding, wrapping by glyph width, headings
// kept with what follows them.
#include "GuideLayout.h"

#include <gtest/gtest.h>
#include <sstream>

namespace mw::guide {
namespace {

double Available(const Line& line) { return kPageWidth - 2 * kMargin - line.indent; }

std::vector<Line> LayoutOf(const std::string& text)
{
    std::istringstream in(text);
    return Layout(in);
}

TEST(GuideLayout, Utf8TextIsWrittenInTheFontsEncoding)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain ASCII (1+1)", "plain ASCII (1+1)"},
        {"Caf\xC3\xA9 \xC3\x84rger \xC3\x9F", "Caf\xE9 \xC4rger \xDF"},            // Latin-1 letters
        {"\xE2\x82\xAC 5 \xE2\x80\x94 \xE2\x80\x9Cquoted\xE2\x80\x9D", "\x80 5 \x97 \x93quoted\x94"}, // 0x80..0x9F
        {"\xE2\x80\xA2 bullet", "\x95 bullet"},
        {"\xE4\xBD\xA0 \xF0\x9F\x98\x80", "? ?"},                                  // not in the encoding
        {"Windows-1252 already: caf\xE9", "Windows-1252 already: caf\xE9"},      // not UTF-8
        {"cut short \xC3", "cut short \xC3"},
    };
    for (const auto& [utf8, expected] : cases)
        EXPECT_EQ(ToWinAnsi(utf8), expected) << utf8;

    std::vector<Line> lines = LayoutOf("\xEF\xBB\xBF# Caf\xC3\xA9 guide\n\nna\xC3\xAFve text\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "Caf\xE9 guide");
    EXPECT_EQ(lines[1].text, "na\xEFve text");
}

TEST(GuideLayout, LinesAreWrappedByGlyphWidthAndNeverRunOffThePage)
{
    // Wide capitals, narrow letters, a word longer than a line, bold headings.
    std::string wide;
    std::string narrow;
    for (int i = 0; i < 60; ++i)
    {
        wide += "WWMMW MWWM ";
        narrow += "iiil llii ";
    }
    std::string text = "# " + wide + "\n\n" + wide + "\n\n" + narrow + "\n\n- " + wide + "\n\n" +
                       std::string(400, 'W') + "\n";
    std::vector<Line> lines = LayoutOf(text);
    ASSERT_GT(lines.size(), 10u);
    for (const Line& line : lines)
        EXPECT_LE(TextWidth(line.text, line.bold, line.size), Available(line) + 0.01) << line.text;

    // Narrow text fills its lines: wrapping goes by width, not by a count of characters.
    auto isNarrow = [](const std::string& text) { return !text.empty() && text.find_first_not_of("il ") == std::string::npos; };
    size_t narrowLines = 0;
    for (size_t i = 0; i + 1 < lines.size(); ++i)
    {
        // Every line of the narrow paragraph but its last.
        if (!isNarrow(lines[i].text) || !isNarrow(lines[i + 1].text))
            continue;
        ++narrowLines;
        EXPECT_GT(TextWidth(lines[i].text, false, lines[i].size), 0.85 * Available(lines[i]));
    }
    EXPECT_GT(narrowLines, 0u);
    // Nothing of the long word is lost where it is cut.
    std::string rejoined;
    for (const Line& line : lines)
        if (line.text.find_first_not_of('W') == std::string::npos)
            rejoined += line.text;
    EXPECT_EQ(rejoined, std::string(400, 'W'));
}

TEST(GuideLayout, NoPageEndsWithAHeading)
{
    // Filler of every length in front of a heading puts it at every height
    // of the page, the foot included.
    for (int filler = 1; filler <= 60; ++filler)
    for (int bullets = 0; bullets < 3; ++bullets)
    {
        std::string text = "# Title\n\n";
        for (int i = 0; i < filler; ++i)
            text += "A line of filler text number " + std::to_string(i) + ".\n\n";
        for (int i = 0; i < bullets; ++i)
            text += "- a bullet item\n";
        text += "# A heading\n\nThe paragraph under the heading.\n\n# Another\n\nMore text.\n";
        std::vector<std::string> pages = Paginate(LayoutOf(text));
        for (size_t p = 0; p < pages.size(); ++p)
        {
            // Headings are the bold lines; the page number follows the last text line.
            std::istringstream page(pages[p]);
            std::string line;
            std::string lastText;
            while (std::getline(page, line))
                if (line.find(" Tf ") != std::string::npos && line.find("/F1 9 Tf") == std::string::npos)
                    lastText = line;
            EXPECT_EQ(lastText.find("/F2"), std::string::npos)
                << "filler " << filler << ", page " << p + 1 << " ends with " << lastText;
        }
    }
}

} // namespace
} // namespace mw::guide
