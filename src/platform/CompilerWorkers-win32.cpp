// Compiler workers on Windows: none are kept; every compile starts its program.
#include "CompilerWorkers.h"

namespace mw {

struct CompilerWorkers::Worker
{
};

CompilerWorkers::CompilerWorkers(std::string programFolder) : m_folder(std::move(programFolder)) {}

CompilerWorkers::~CompilerWorkers() = default;

bool CompilerWorkers::Serves(const std::string&) const
{
    return false;
}

bool CompilerWorkers::Run(const std::string&, const std::vector<std::string>&, const std::string&, IProcessOutput&,
                          ProcessOutcome& outcome, bool& handled)
{
    outcome = ProcessOutcome();
    handled = false;
    return false;
}

void CompilerWorkers::EndIdle() {}

int CompilerWorkers::Started() const
{
    return 0;
}

std::unique_ptr<CompilerWorkers::Worker> CompilerWorkers::TakeIdle(const std::string&)
{
    return nullptr;
}

void CompilerWorkers::PutIdle(std::unique_ptr<Worker>) {}

} // namespace mw
