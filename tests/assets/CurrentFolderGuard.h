// Moves a test into a folder for its lifetime: the compilers and the
// statistics clean-up work in the current folder.
#pragma once

#include <string>
#include <unistd.h>

namespace mw::test {

class CurrentFolderGuard
{
public:
    explicit CurrentFolderGuard(const std::string& folder)
    {
        char previous[4096];
        if (::getcwd(previous, sizeof previous))
            m_previous = previous;
        m_entered = ::chdir(folder.c_str()) == 0;
    }
    ~CurrentFolderGuard()
    {
        // Nothing is left to do when going back fails; the result is read
        // only because checked string functions insist on it.
        if (!m_previous.empty() && ::chdir(m_previous.c_str()) != 0)
            m_entered = false;
    }
    CurrentFolderGuard(const CurrentFolderGuard&) = delete;
    CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

    bool Entered() const { return m_entered; }

private:
    std::string m_previous;
    bool m_entered = false;
};

} // namespace mw::test
