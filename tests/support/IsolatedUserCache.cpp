// Every test program runs with its own empty user cache folder, so that a
// build with the default cache settings (a local cache below the user's cache
// folder) neither writes into the real one of whoever runs the tests nor
// finds entries that an earlier run left there. The programs a test starts
// inherit the setting. This file is compiled into each test program (not
// into the support library, where nothing would pull it in).
#include "TempFolder.h"

#include <cstdlib>

namespace {

struct IsolatedUserCache
{
    IsolatedUserCache()
    {
        std::string path = folder.Path() + "cache";
#ifdef _WIN32
        ::_putenv_s("XDG_CACHE_HOME", path.c_str());
#else
        ::setenv("XDG_CACHE_HOME", path.c_str(), 1);
#endif
    }

    mw::test::TempFolder folder;
};

const IsolatedUserCache isolatedUserCache;

} // namespace
