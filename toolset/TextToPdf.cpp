// Turns the plain-text guide into a PDF document at build time, so the
// guide is kept as text and the build needs no document tools.
//
// Input: "# " starts a heading, "- " a bullet item, an empty line ends a
// paragraph; other lines are joined into paragraphs and wrapped. Output: a
// PDF 1.4 file on A4 pages with the standard Helvetica fonts (not embedded:
// every PDF viewer has them).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kPageWidth = 595.0;  // A4 in points
constexpr double kPageHeight = 842.0;
constexpr double kMargin = 64.0;

struct Line
{
    std::string text;
    bool bold = false;
    double size = 11.0;
    double spaceBefore = 0.0;
    double indent = 0.0;
};

// Helvetica's average width is about half the font size; wrapping at that
// width keeps lines inside the margins for ordinary English text.
size_t CharactersPerLine(double size, double indent)
{
    return size_t((kPageWidth - 2 * kMargin - indent) / (size * 0.5));
}

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
    while (words >> word)
    {
        size_t limit = CharactersPerLine(style.size, style.indent + (first ? 0.0 : hangingIndent));
        if (!current.empty() && current.size() + 1 + word.size() > limit)
            flush();
        current += (current.empty() ? "" : " ") + word;
    }
    if (!current.empty())
        flush();
}

std::vector<Line> Layout(std::istream& in)
{
    std::vector<Line> lines;
    std::string paragraph;
    auto endParagraph = [&] {
        if (!paragraph.empty())
            Wrap(paragraph, Line{"", false, 11.0, 8.0, 0.0}, lines);
        paragraph.clear();
    };
    std::string raw;
    bool firstHeading = true;
    while (std::getline(in, raw))
    {
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        if (raw.rfind("# ", 0) == 0)
        {
            endParagraph();
            double size = firstHeading ? 20.0 : 14.0;
            Wrap(raw.substr(2), Line{"", true, size, firstHeading ? 0.0 : 18.0, 0.0}, lines);
            firstHeading = false;
        }
        else if (raw.rfind("- ", 0) == 0)
        {
            endParagraph();
            Wrap("\x95 " + raw.substr(2), Line{"", false, 11.0, 4.0, 12.0}, lines, 8.0);
        }
        else if (raw.find_first_not_of(" \t") == std::string::npos)
            endParagraph();
        else
            paragraph += (paragraph.empty() ? "" : " ") + raw;
    }
    endParagraph();
    return lines;
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

// One content stream per page.
std::vector<std::string> Paginate(const std::vector<Line>& lines)
{
    std::vector<std::string> pages;
    std::ostringstream page;
    double y = kPageHeight - kMargin;
    bool empty = true;
    for (const Line& line : lines)
    {
        double step = line.size * 1.35 + (empty ? 0.0 : line.spaceBefore);
        if (y - step < kMargin && !empty)
        {
            pages.push_back(page.str());
            page.str("");
            y = kPageHeight - kMargin;
            empty = true;
            step = line.size * 1.35;
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

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: TextToPdf INPUT.txt OUTPUT.pdf\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in)
    {
        std::cerr << "TextToPdf: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::vector<Line> lines = Layout(in);
    std::string title = lines.empty() ? std::string("Guide") : lines.front().text;
    std::string pdf = BuildPdf(Paginate(lines), title);
    // Written beside the target and renamed, so an interrupted build leaves no half file.
    std::string temporary = std::string(argv[2]) + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(pdf.data(), std::streamsize(pdf.size()));
        if (!out)
        {
            std::cerr << "TextToPdf: cannot write " << temporary << "\n";
            return 1;
        }
    }
    // Replaces an earlier guide on Windows too, where rename() refuses an existing target.
    std::error_code renameError;
    std::filesystem::rename(temporary, argv[2], renameError);
    if (renameError)
    {
        std::cerr << "TextToPdf: cannot rename " << temporary << " to " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
