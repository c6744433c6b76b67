// The exchange between the tool and a compiler it keeps running between
// compiles (a worker). The tool starts the compiler with the worker switch as
// its only argument, a pipe for requests on descriptor 3 and one for replies
// on descriptor 4; standard input is empty and standard output and error are
// the tool's pipes, as for a compiler started for one command line.
//  - The worker writes kReady on the reply pipe once it is ready.
//  - Each request is a u32 byte count and that many bytes: texts, each a u32
//    length and its bytes, the first the folder to run in, the rest the
//    compiler's arguments (its own name not among them).
//  - When the compile has ended and its output is flushed, the worker writes
//    one u32: the exit code, or kCannotEnterFolder.
//  - The end of the request pipe ends the worker.
// All numbers are little-endian.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw::worker {

inline constexpr const char kWorkerSwitch[] = "--mw-worker";
inline constexpr int kRequestFd = 3;
inline constexpr int kReplyFd = 4;
inline constexpr uint32_t kReady = 0x3157574Du; // "MWW1"
inline constexpr uint32_t kCannotEnterFolder = 0x80000000u;
// A request larger than this is refused: command lines are far smaller.
inline constexpr uint32_t kMaxRequestBytes = 16u << 20;

// The request's body (without its leading byte count).
std::string EncodeRequest(const std::string& folder, const std::vector<std::string>& arguments);
// False when body is not one EncodeRequest made (a text runs past the end, or none is there).
bool DecodeRequest(std::string_view body, std::string& folder, std::vector<std::string>& arguments);

void PutU32(std::string& bytes, uint32_t value);
uint32_t GetU32(const char* bytes);

} // namespace mw::worker
