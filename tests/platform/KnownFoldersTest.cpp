// The user's folders when the environment does not name them.
#include "platform/KnownFolders.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace mw {
namespace {

// Sets or removes an environment variable for one test, then restores it.
class ScopedVariable
{
public:
    ScopedVariable(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old, m_had = true;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedVariable()
    {
        if (m_had)
            ::setenv(m_name, m_old.c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

TEST(KnownFolders, WithoutHomeTheDocumentsFolderIsBelowThePasswordDatabasesHome)
{
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    std::string expected = std::string(entry->pw_dir) + "/Documents";
    ScopedVariable documents("XDG_DOCUMENTS_DIR", nullptr);
    ScopedVariable config("XDG_CONFIG_HOME", "/nonexistent-config-folder");
    {
        ScopedVariable home("HOME", nullptr);
        EXPECT_EQ(DocumentsFolder(), expected);
    }
    {
        ScopedVariable home("HOME", "");
        EXPECT_EQ(DocumentsFolder(), expected);
    }
    ScopedVariable home("HOME", "/home/someone");
    EXPECT_EQ(DocumentsFolder(), "/home/someone/Documents");
}

} // namespace
} // namespace mw
