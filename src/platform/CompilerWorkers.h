// Keeps the tool's own compilers running between compiles, so that a Build of
// many assets starts each compiler about once per core instead of once per
// asset (starting a program costs more than most compiles). A worker takes
// one command line at a time and answers as the program would in a process of
// its own: the same output on the same streams, the same exit code, the same
// report when it crashes or is stopped. The exchange is in WorkerProtocol.h.
//
// Only programs in the given folder are served: the compilers that come with
// the tool, which know the exchange. A program there that does not answer as
// a worker is started for each command line as before. On Windows no program
// is served.
#pragma once

#include "ProcessRunner.h"

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace mw {

class CompilerWorkers
{
public:
    explicit CompilerWorkers(std::string programFolder);
    // Ends every worker.
    ~CompilerWorkers();
    CompilerWorkers(const CompilerWorkers&) = delete;
    CompilerWorkers& operator=(const CompilerWorkers&) = delete;

    // True when program (a path as ProcessRunner::FindProgram gives it) is
    // one these workers may run.
    bool Serves(const std::string& program) const;

    // Runs arguments (the program's own name first) in folder (the process's
    // current folder when empty) on a worker of program, and returns as
    // ProcessRunner::Run does. handled is false when no worker of the program
    // could be started, which is not tried again for it: the caller then
    // starts the program itself. Safe to call from several threads: each
    // call has a worker of its own.
    bool Run(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder,
             IProcessOutput& output, ProcessOutcome& outcome, bool& handled);

    // Ends the workers that are not running a command line.
    void EndIdle();

    // Workers started so far, and started ones that failed to answer.
    int Started() const;

    struct Worker;

private:
    std::unique_ptr<Worker> TakeIdle(const std::string& program);
    void PutIdle(std::unique_ptr<Worker> worker);

    std::string m_folder;
    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<Worker>> m_idle;
    std::set<std::string> m_refusing;
    int m_started = 0;
};

} // namespace mw
