// What every compiler in tools/ shares: its one-line error reports, the
// statistics CSV line it appends, and the atomic write of its output.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw::tools {

// Prints "<program>: <message>" on standard error.
void ReportError(const char* program, const std::string& message);
// Prints a progress line on standard output and flushes it, so the tool's
// log shows it while the program runs.
void ReportProgress(const std::string& line);
// Prints a line of detail (one of many, a line per file, say) on standard
// output, gathered with the next ones into writes of whole lines of at most
// the size the tool reads at once: a program that reports each of a hundred
// files makes a few writes, not a hundred, and so wakes the tool a few times.
// The lines are written before any other line and at the end of the run.
void ReportDetail(const std::string& line);
// Writes the gathered detail lines now.
void FlushDetails();

// Appends one CSV line (CR LF) to the file in the current folder, writing the
// header line first when the file is new or empty. Fields holding ',' or '"'
// are quoted. A failure is reported on standard error and otherwise ignored.
void AppendStatisticsLine(const char* program, const std::string& fileName, const std::string& header,
                          const std::vector<std::string>& fields);

// Writes the output through a temporary file and a rename, creating its
// folders; reports and returns false on failure.
bool WriteOutput(const char* program, const std::string& path, std::string_view bytes);

// Reads a whole input file; reports "cannot read '<path>': <reason>" and
// returns false on failure.
bool ReadInput(const char* program, const std::string& path, std::string& bytes);
// The same, refusing a file (or a device that never ends) longer than
// maxBytes without reading more than maxBytes + 1 of it.
bool ReadInput(const char* program, const std::string& path, std::string& bytes, uint64_t maxBytes);
// The bounded read without the report: false with the reason in error.
bool ReadBoundedFile(const std::string& path, uint64_t maxBytes, std::string& bytes, std::string& error);

class BinaryOutput;
// Writes a compiled output, refusing one that holds a text too long for its
// u16 length ("a name longer than 65535 bytes").
bool WriteOutput(const char* program, const std::string& path, const BinaryOutput& out);

} // namespace mw::tools
