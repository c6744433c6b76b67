// Two users, alice and bob, each with a working copy of one throwaway
// repository and a source-control client connected through the Subversion
// backend; what the backend logs is kept per user.
#pragma once

#include "SvnServer.h"
#include "platform/sourcecontrol/SourceControlClient.h"
#include "platform/sourcecontrol/SourceControlLog.h"
#include "platform/sourcecontrol/SubversionOptions.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace mw::test {

class RecordingLog : public SourceControlLog
{
public:
    void Log(const std::string& text, bool, bool error) override { lines.push_back({text, error}); }
    // True when an error line contains part.
    bool HasError(const std::string& part) const;
    std::string Errors() const;

    struct Line
    {
        std::string text;
        bool error;
    };
    std::vector<Line> lines;
};

struct NetworkUser
{
    std::string name;
    std::string folder; // the working copy, with a trailing "/"
    RecordingLog log;
    SourceControlClient client;

    std::string Path(const std::string& relative) const { return folder + relative; }
};

class NetworkFixture : public ::testing::Test
{
protected:
    NetworkFixture();
    void SetUp() override;

    // Connects user's client to the server (with password) and checks out
    // its working copy; false when the login failed.
    bool Connect(NetworkUser& user, const std::string& password, SubversionOptions options = SubversionOptions());
    // Writes a file into alice's working copy and adds it (folders included).
    void Publish(const std::string& relative, const std::string& content);
    // Where alice's and bob's files live.
    std::string AliceFile(const std::string& relative) const { return alice.Path(relative); }
    std::string BobFile(const std::string& relative) const { return bob.Path(relative); }
    // The options every test client uses: its own Subversion configuration
    // folder, so that nothing of the machine's user leaks in.
    SubversionOptions Options(const std::string& password) const;

    TempFolder temp;
    SvnServer server;
    NetworkUser alice;
    NetworkUser bob;
};

} // namespace mw::test
