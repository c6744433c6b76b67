// A look at a file's bytes before the command-line tool reads it as a
// database archive, so that a file of another kind is refused instead of
// being shown as an empty or enormous archive.
#pragma once

#include <string>

namespace mw {

// Empty when the header and the regions it names fit the file; otherwise
// what is wrong, for example "too short".
std::string DbArchiveFileProblem(const std::string& bytes);

} // namespace mw
