// The interface through which every operation and asset type logs and reads
// the folder settings. Its first seven operations keep this slot order.
#pragma once

#include <cstdint>
#include <string>

namespace mw {

class IToolContext
{
public:
    // Runs a command line (current folder: folder, or the tool's own when
    // null); true when the process started and ended, its code in exitCode.
    virtual bool RunTool(const std::string& commandLine, uint32_t& exitCode, const char* folder) = 0;
    // One message: its text, a line flag and an error flag.
    virtual void Log(const std::string& text, bool line, bool error) = 0;
    virtual std::string GetSourceDir() const = 0;
    virtual std::string GetToolsDir() const = 0;
    virtual std::string GetMAXServer() const = 0;
    virtual std::string GetShaderAsmDir() const = 0;
    virtual int GetExportStatistics() const = 0;
    // The folder compilers started with no folder of their own run in, and
    // so where they write their statistics files; empty for the tool's own
    // current folder.
    virtual std::string GetStatisticsDir() const { return std::string(); }

protected:
    ~IToolContext() = default;
};

} // namespace mw
