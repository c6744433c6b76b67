// The two-user network fixture.
#include "NetworkFixture.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SubversionBackend.h"

namespace mw::test {

bool RecordingLog::HasError(const std::string& part) const
{
    for (const Line& line : lines)
        if (line.error && line.text.find(part) != std::string::npos)
            return true;
    return false;
}

std::string RecordingLog::Errors() const
{
    std::string all;
    for (const Line& line : lines)
        if (line.error)
            all += line.text + "\n";
    return all;
}

NetworkFixture::NetworkFixture() : server(temp / "server/")
{
    alice.name = SvnServer::kAlice;
    alice.folder = temp / "alice/";
    bob.name = SvnServer::kBob;
    bob.folder = temp / "bob/";
}

void NetworkFixture::SetUp()
{
    ASSERT_TRUE(server.Started()) << server.Error();
    ASSERT_TRUE(Connect(alice, SvnServer::kAlicePassword)) << alice.log.Errors();
    ASSERT_TRUE(Connect(bob, SvnServer::kBobPassword)) << bob.log.Errors();
}

SubversionOptions NetworkFixture::Options(const std::string& password) const
{
    SubversionOptions options;
    options.configFolder = temp / "svn-config";
    options.password = password;
    options.deadlineMs = 5000;
    options.connectTimeoutMs = 2000;
    return options;
}

bool NetworkFixture::Connect(NetworkUser& user, const std::string& password, SubversionOptions options)
{
    if (options.configFolder.empty())
        options = Options(password);
    user.client.SetNetworkBackendFactory(
        [options](const std::string&) { return std::make_unique<SubversionBackend>(options); });
    user.client.SetClientDirectory(user.folder);
    user.client.SetLog(&user.log);
    user.client.SetUserName(user.name);
    if (!user.client.Connect(server.Url()))
        return false;
    return user.client.SyncPath(nullptr, false, nullptr) == 0;
}

void NetworkFixture::Publish(const std::string& relative, const std::string& content)
{
    WriteFile(AliceFile(relative), content);
    std::string parent = ParentPath(relative);
    if (!parent.empty())
    {
        ASSERT_TRUE(alice.client.CreateAllDirectories(parent)) << alice.log.Errors();
    }
    ASSERT_TRUE(alice.client.AddFile(relative)) << alice.log.Errors();
}

} // namespace mw::test
