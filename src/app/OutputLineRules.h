// How the output pane turns messages into lines: one line per line feed, long
// lines cut to 300 characters with their end kept, white space trimmed.
#pragma once

#include <string>
#include <vector>

namespace mw {

constexpr size_t kMaxOutputLineLength = 300;

// The pieces between line feeds; a line feed at the very end adds no empty
// piece, and an empty text gives none.
std::vector<std::string> SplitLogText(const std::string& text);

// A line longer than 300 characters keeps its first characters, then " ... "
// and up to 20 of its last characters, 300 in all; then white space is
// trimmed at both ends.
std::string FitOutputLine(const std::string& text);

// The clipboard text of copied lines: each line's text and a tab, then a line feed.
std::string CopiedLinesText(const std::vector<std::string>& lines);

} // namespace mw
