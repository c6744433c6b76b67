// Running a compiler for an asset build, and the guard that keeps asset
// fields from breaking a compiler's command line.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace mw {

class IToolContext;

// Runs commandLine through the context. A compiler that cannot be started
// is logged as an error; true when it ran and ended with successCode.
bool RunCompiler(IToolContext& context, const std::string& commandLine, uint32_t successCode = 0);

// A double quote inside a path or a defines text would end the quoted
// argument early and let the rest of the text become arguments of its own.
// True when no text holds one; otherwise logs an error naming the asset's
// output and the text, and returns false.
bool TextsFitCommandLine(IToolContext& context, const std::string& outputPath,
                         std::initializer_list<std::string_view> texts);

// Creates every folder along the path of an output file (not the file's own
// name); true when its folder exists.
bool EnsureOutputFolder(const std::string& outputPath);

// " -format dxt1" and so on for the texture formats 1 to 4; empty otherwise.
std::string TextureFormatSwitch(uint32_t format);

} // namespace mw
