// Turns the plain-text guide into a PDF document at build time, so the
// guide is kept as text and the build needs no document tools.
//
// Input: UTF-8 text where "# " starts a heading, "- " a bullet item and an
// empty line ends a paragraph (GuideLayout.h). Output: a PDF 1.4 file on A4
// pages with the standard Helvetica fonts (not embedded: every PDF viewer
// has them).
#include "GuideLayout.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

using namespace mw::guide;

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
