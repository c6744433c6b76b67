// A tool context double for asset tests: folders set by the test, every
// command line recorded, exit codes scripted, log lines collected.
#pragma once

#include "context/IToolContext.h"

#include <deque>
#include <string>
#include <vector>

namespace mw::test {

class RecordingContext : public IToolContext
{
public:
    struct Line
    {
        std::string text;
        bool line;
        bool error;
    };

    bool RunTool(const std::string& commandLine, uint32_t& exitCode, const char*) override
    {
        commandLines.push_back(commandLine);
        exitCode = exitCodes.empty() ? 0 : exitCodes.front();
        if (!exitCodes.empty())
            exitCodes.pop_front();
        return startable;
    }
    void Log(const std::string& text, bool line, bool error) override { log.push_back(Line{text, line, error}); }
    std::string GetSourceDir() const override { return sourceDir; }
    std::string GetToolsDir() const override { return toolsDir; }
    std::string GetMAXServer() const override { return maxServer; }
    std::string GetShaderAsmDir() const override { return shaderAsmDir; }
    int GetExportStatistics() const override { return exportStatistics; }

    bool HasLine(const std::string& text) const
    {
        for (const Line& entry : log)
            if (entry.text == text)
                return true;
        return false;
    }
    bool HasErrorLine(const std::string& text) const
    {
        for (const Line& entry : log)
            if (entry.text == text && entry.line && entry.error)
                return true;
        return false;
    }

    std::string sourceDir = "C:\\mod\\source\\";
    std::string toolsDir = "C:\\tools\\";
    std::string maxServer;
    std::string shaderAsmDir;
    int exportStatistics = 1;
    bool startable = true;
    std::deque<uint32_t> exitCodes;
    std::vector<std::string> commandLines;
    std::vector<Line> log;
};

} // namespace mw::test
