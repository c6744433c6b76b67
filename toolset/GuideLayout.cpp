// Laying out the guide: encoding, glyph widths, wrapping and pages.
#include "GuideLayout.h"

#include <cstdint>
#include <cstdio>
#include <istream>
#include <sstream>

namespace mw::guide {
namespace {

// Advance widths (1/1000 of the font size) of the printable ASCII range
// 32..126, from the fonts' metrics.
const uint16_t kRegularAscii[95] = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278, 556, 556, 556, 556,
    556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, 1015, 667, 667, 722, 722, 667, 611, 778,
    722, 278, 500, 667, 556, 833, 722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278,
    278, 278, 469, 556, 333, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,
    556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};
const uint16_t kBoldAscii[95] = {
    278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278, 556, 556, 556, 556,
    556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611, 975, 722, 722, 722, 722, 667, 611, 778,
    722, 278, 556, 722, 611, 833, 722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 333,
    278, 333, 584, 556, 333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556, 278, 889, 611, 611,
    611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584};
// Helvetica's widths of the codes 128..255 of WinAnsiEncoding (0 where the
// encoding has no character). The bold face is at most a tenth wider there.
const uint16_t kRegularHigh[128] = {
    556, 0, 222, 556, 333, 1000, 556, 556, 333, 1000, 667, 333, 1000, 0, 611, 0,
    0, 222, 222, 333, 333, 350, 556, 1000, 333, 1000, 500, 333, 944, 0, 500, 667,
    278, 333, 556, 556, 556, 556, 260, 556, 333, 737, 370, 556, 584, 333, 737, 333,
    400, 584, 333, 333, 333, 556, 537, 278, 333, 333, 365, 556, 834, 834, 834, 611,
    667, 667, 667, 667, 667, 667, 1000, 722, 667, 667, 667, 667, 278, 278, 278, 278,
    722, 722, 778, 778, 778, 778, 778, 584, 778, 722, 722, 722, 722, 667, 667, 611,
    556, 556, 556, 556, 556, 556, 889, 500, 556, 556, 556, 556, 278, 278, 278, 278,
    556, 556, 556, 556, 556, 556, 556, 584, 611, 556, 556, 556, 556, 500, 556, 500};

// Windows-1252's characters of the codes 0x80..0x9F.
const uint32_t kHighControls[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

char WinAnsiOf(uint32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return char(codePoint);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == codePoint && codePoint != 0)
            return char(0x80 + i);
    return '?';
}

// The length of the UTF-8 sequence at text[i] and its code point; 0 when the
// bytes there are no well-formed sequence.
size_t DecodeUtf8(const std::string& text, size_t i, uint32_t& codePoint)
{
    unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = lead >= 0xF5 ? 0 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    codePoint = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k)
    {
        unsigned char next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
    return overlong || codePoint > 0x10FFFF ? 0 : length;
}

double GlyphWidth(unsigned char code, bool bold)
{
    if (code >= 32 && code <= 126)
        return bold ? kBoldAscii[code - 32] : kRegularAscii[code - 32];
    if (code >= 128)
        return kRegularHigh[code - 128] * (bold ? 1.1 : 1.0);
    return 0.0;
}

double LineWidth(double indent) { return kPageWidth - 2 * kMargin - indent; }

// Words wider than a whole line are cut where the line is full.
void Wrap(const std::string& text, Line style, std::vector<Line>& lines, double hangingIndent = 0.0)
{
    std::istringstream words(text);
    std::string word;
    std::string current;
    bool first = true;
    auto flush = [&] {
        Line line = style;
        line.text = current;
        if (!first)
        {
            line.spaceBefore = 0.0;
            line.indent += hangingIndent;
        }
        lines.push_back(line);
        current.clear();
        first = false;
    };
    auto limit = [&] { return LineWidth(style.indent + (first ? 0.0 : hangingIndent)); };
    while (words >> word)
    {
        std::string candidate = current.empty() ? word : current + " " + word;
        if (current.empty() || TextWidth(candidate, style.bold, style.size) <= limit())
        {
            current = candidate;
        }
        else
        {
            flush();
            current = word;
        }
        while (TextWidth(current, style.bold, style.size) > limit() && current.size() > 1)
        {
            size_t fit = 1;
            while (fit < current.size() && TextWidth(current.substr(0, fit + 1), style.bold, style.size) <= limit())
                ++fit;
            std::string rest = current.substr(fit);
            current.resize(fit);
            flush();
            current = rest;
        }
    }
    if (!current.empty())
        flush();
}

std::string Escape(const std::string& text)
{
    std::string escaped;
    for (char c : text)
    {
        if (c == '(' || c == ')' || c == '\\')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

double Leading(const Line& line) { return line.size * 1.35; }

} // namespace

std::string ToWinAnsi(const std::string& utf8)
{
    std::string encoded;
    for (size_t i = 0; i < utf8.size();)
    {
        uint32_t codePoint = 0;
        size_t length = static_cast<unsigned char>(utf8[i]) < 0x80 ? 1 : DecodeUtf8(utf8, i, codePoint);
        if (length == 1)
            encoded += utf8[i];
        else if (length > 1)
            encoded += WinAnsiOf(codePoint);
        else
            encoded += utf8[i]; // not UTF-8: already a Windows-1252 byte
        i += length ? length : 1;
    }
    return encoded;
}

double TextWidth(const std::string& text, bool bold, double size)
{
    double units = 0.0;
    for (char c : text)
        units += GlyphWidth(static_cast<unsigned char>(c), bold);
    return units * size / 1000.0;
}

std::vector<Line> Layout(std::istream& in)
{
    std::vector<Line> lines;
    std::string paragraph;
    auto endParagraph = [&] {
        if (!paragraph.empty())
            Wrap(ToWinAnsi(paragraph), Line{"", false, 11.0, 8.0, 0.0, false}, lines);
        paragraph.clear();
    };
    std::string raw;
    bool firstHeading = true;
    while (std::getline(in, raw))
    {
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        // A byte-order mark in front of the first line is no text.
        if (lines.empty() && paragraph.empty() && raw.rfind("\xEF\xBB\xBF", 0) == 0)
            raw.erase(0, 3);
        if (raw.rfind("# ", 0) == 0)
        {
            endParagraph();
            double size = firstHeading ? 20.0 : 14.0;
            Wrap(ToWinAnsi(raw.substr(2)), Line{"", true, size, firstHeading ? 0.0 : 18.0, 0.0, true}, lines);
            firstHeading = false;
        }
        else if (raw.rfind("- ", 0) == 0)
        {
            endParagraph();
            Wrap("\x95 " + ToWinAnsi(raw.substr(2)), Line{"", false, 11.0, 4.0, 12.0, false}, lines, 8.0);
        }
        else if (raw.find_first_not_of(" \t") == std::string::npos)
            endParagraph();
        else
            paragraph += (paragraph.empty() ? "" : " ") + raw;
    }
    endParagraph();
    return lines;
}

std::vector<std::string> Paginate(const std::vector<Line>& lines)
{
    std::vector<std::string> pages;
    std::ostringstream page;
    double y = kPageHeight - kMargin;
    bool empty = true;
    for (size_t i = 0; i < lines.size(); ++i)
    {
        const Line& line = lines[i];
        double step = Leading(line) + (empty ? 0.0 : line.spaceBefore);
        // A heading needs room for all its lines and the first line after it.
        double needed = step;
        if (line.heading && (i == 0 || !lines[i - 1].heading))
        {
            size_t next = i + 1;
            for (; next < lines.size() && lines[next].heading; ++next)
                needed += Leading(lines[next]);
            if (next < lines.size())
                needed += Leading(lines[next]) + lines[next].spaceBefore;
        }
        if (y - needed < kMargin && !empty)
        {
            pages.push_back(page.str());
            page.str("");
            y = kPageHeight - kMargin;
            empty = true;
            step = Leading(line);
        }
        y -= step;
        char position[64];
        std::snprintf(position, sizeof position, "%.1f %.1f", kMargin + line.indent, y);
        page << "BT /" << (line.bold ? "F2" : "F1") << ' ' << line.size << " Tf " << position << " Td ("
             << Escape(line.text) << ") Tj ET\n";
        empty = false;
    }
    if (!empty || pages.empty())
        pages.push_back(page.str());
    // Page numbers at the foot of each page.
    for (size_t i = 0; i < pages.size(); ++i)
    {
        char footer[128];
        std::snprintf(footer, sizeof footer, "BT /F1 9 Tf %.1f %.1f Td (%zu) Tj ET\n", kPageWidth / 2 - 4, kMargin / 2,
                      i + 1);
        pages[i] += footer;
    }
    return pages;
}

std::string BuildPdf(const std::vector<std::string>& pages, const std::string& title)
{
    // Objects: 1 catalog, 2 page tree, 3 and 4 fonts, 5 info, then a page
    // object and its content stream for each page.
    std::vector<std::string> objects;
    std::string kids;
    for (size_t i = 0; i < pages.size(); ++i)
        kids += std::to_string(6 + 2 * i) + " 0 R ";
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>");
    objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>");
    objects.push_back("<< /Title (" + Escape(title) + ") /Producer (Modwright build) >>");
    for (size_t i = 0; i < pages.size(); ++i)
    {
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 3 0 R "
                          "/F2 4 0 R >> >> /Contents " +
                          std::to_string(7 + 2 * i) + " 0 R >>");
        objects.push_back("<< /Length " + std::to_string(pages[i].size()) + " >>\nstream\n" + pages[i] +
                          "endstream");
    }
    std::string pdf = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i)
    {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets)
    {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R /Info 5 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

} // namespace mw::guide
