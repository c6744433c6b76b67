// Runs an external program from one command-line text, without a shell,
// streaming what it writes to standard output and standard error to a sink
// while it runs.
#pragma once

#include <cstdint>
#include <string>

namespace mw {

class IProcessOutput
{
public:
    // One chunk of at most kChunkSize bytes, from standard error when error is set.
    virtual void OnOutput(const std::string& chunk, bool error) = 0;
    // Asked while the program runs (at least every 10 ms): true ends it at
    // once, and the run reports it as stopped.
    virtual bool StopRequested() { return false; }

protected:
    ~IProcessOutput() = default;
};

struct ProcessOutcome
{
    uint32_t exitCode = 0;
    // Ended by a signal rather than by exiting; exitCode is then 128 + the signal.
    bool endedEarly = false;
    // Ended because the output sink asked to stop it (endedEarly is set too).
    bool stopped = false;
};

class CompilerWorkers;

class ProcessRunner
{
public:
    static constexpr size_t kChunkSize = 1023;

    // ownFolder: the folder searched for bare program names before PATH
    // (the folder of the programs that come with the tool, or none).
    explicit ProcessRunner(std::string ownFolder) : m_ownFolder(std::move(ownFolder)) {}

    // A program named by a path that does not exist is taken from this folder
    // when it holds a program of that file name (the tool's own compilers,
    // when the configured tools folder lacks them). None by default.
    void SetFallbackFolder(std::string folder) { m_fallbackFolder = std::move(folder); }

    // Programs these workers serve are run on one of them instead of in a
    // process of their own (none by default). The workers outlive the runner.
    void SetWorkers(CompilerWorkers* workers) { m_workers = workers; }

    // The program a command line's first argument names. A path with folders
    // is taken relative to runFolder (the process's current folder when that
    // is empty). A bare name is looked for in runFolder when one is given,
    // then in the own folder, then on PATH; on Linux never in the process's
    // current folder, so a folder the tool merely starts in cannot plant a
    // program (Windows searches it, as its own process start does). "X.exe"
    // finds a program "X" when no "X.exe" exists. Empty when nothing fits.
    std::string FindProgram(const std::string& name, const std::string& runFolder) const;

    // Runs commandLine with the current folder folder (the process's own when
    // null) and waits for it. False when the program could not be started.
    // Standard output is always drained before standard error is looked at,
    // and both before the end of the program is noticed.
    bool Run(const std::string& commandLine, const char* folder, IProcessOutput& output, ProcessOutcome& outcome) const;

private:
    std::string m_ownFolder;
    std::string m_fallbackFolder;
    CompilerWorkers* m_workers = nullptr;
};

} // namespace mw
