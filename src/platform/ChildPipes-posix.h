// The read ends of a child's standard output and standard error, drained in
// the order the runner promises: standard output first, standard error only
// when standard output has nothing waiting.
#pragma once

#include "ProcessRunner.h"

namespace mw {

class ChildPipes
{
public:
    // Takes both descriptors (made non-blocking here) and closes them when done.
    ChildPipes(int outFd, int errFd);
    ~ChildPipes();
    ChildPipes(const ChildPipes&) = delete;
    ChildPipes& operator=(const ChildPipes&) = delete;

    // Hands one waiting chunk to output; false when neither pipe had one. A
    // pipe found at its end is closed.
    bool ReadOne(IProcessOutput& output);
    // True when both pipes have reached their end.
    bool Closed() const { return m_out < 0 && m_err < 0; }
    // Waits at most timeoutMs for either pipe, or for extraFd when it is not -1.
    void Wait(int timeoutMs, int extraFd = -1) const;
    // True while neither pipe has reached its end.
    bool Open() const { return m_out >= 0 && m_err >= 0; }
    // Hands the descriptors back without closing them.
    void Release(int& outFd, int& errFd)
    {
        outFd = m_out;
        errFd = m_err;
        m_out = m_err = -1;
    }

private:
    int m_out;
    int m_err;
};

// The outcome of a child that ended with this wait status (stopped already
// set when the runner ended it).
void SetOutcomeFromStatus(int status, ProcessOutcome& outcome);

} // namespace mw
