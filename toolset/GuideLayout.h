// The layout of the plain-text guide on PDF pages: the text mapped to the
// standard fonts' encoding, wrapped by glyph width, and paginated so no
// heading is left alone at the foot of a page.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace mw::guide {

constexpr double kPageWidth = 595.0; // A4 in points
constexpr double kPageHeight = 842.0;
constexpr double kMargin = 64.0;

struct Line
{
    std::string text; // in the fonts' encoding (WinAnsiEncoding), not UTF-8
    bool bold = false;
    double size = 11.0;
    double spaceBefore = 0.0;
    double indent = 0.0;
    bool heading = false; // kept on one page with the line after it
};

// UTF-8 text in WinAnsiEncoding (the Windows-1252 code page), the encoding
// the standard Helvetica fonts are used with. Characters the encoding lacks
// become '?'; bytes that are not UTF-8 are taken as Windows-1252 already.
std::string ToWinAnsi(const std::string& utf8);

// The width in points of WinAnsi text in Helvetica (or Helvetica-Bold).
double TextWidth(const std::string& text, bool bold, double size);

// The lines of the guide: "# " starts a heading, "- " a bullet item, an
// empty line ends a paragraph; other lines are joined into paragraphs and
// wrapped so that no line is wider than the page between its margins.
std::vector<Line> Layout(std::istream& in);

// One content stream per page; a heading moves to the next page when the
// line after it would not fit below it.
std::vector<std::string> Paginate(const std::vector<Line>& lines);

// A whole PDF 1.4 document of those pages.
std::string BuildPdf(const std::vector<std::string>& pages, const std::string& title);

} // namespace mw::guide
