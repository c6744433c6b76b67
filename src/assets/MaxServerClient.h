// One exchange with the MAX server, the remote scene export service: upload
// a scene, load it, export it, fetch the export. Each command word and name
// goes out as a string; the framing is the Socket's (see tools/README.md).
#pragma once

#include "platform/sourcecontrol/Socket.h"

#include <cstdint>
#include <string>

namespace mw {

class IToolContext;

// "host:port"; the host is what precedes the first ":" (at most 255
// characters), the port the digits after it. Without ":" the whole text (at
// most 256 characters) is the host and the port is 0. False for an empty or
// longer host.
bool ParseMaxServerAddress(const std::string& address, std::string& host, int& port);

class MaxServerClient
{
public:
    // How long each send and receive may wait for the server.
    static constexpr int kWaitSeconds = 120;
    // The largest export the client accepts and the longest error text.
    static constexpr uint32_t kMaxExportBytes = 256u * 1024u * 1024u;
    static constexpr uint32_t kMaxErrorBytes = 1024;

    explicit MaxServerClient(IToolContext& context, int waitSeconds = kWaitSeconds);
    ~MaxServerClient();
    MaxServerClient(const MaxServerClient&) = delete;
    MaxServerClient& operator=(const MaxServerClient&) = delete;

    bool Connect(const std::string& address);
    // Uploads a local file; false when it cannot be read (nothing is sent
    // then) or the upload breaks off.
    bool Put(const std::string& localPath, const std::string& remoteName);
    // Asks the server to load an uploaded scene; true when it did.
    bool Load(const std::string& remoteName);
    // Asks the server to export the loaded scene into remoteName; on refusal
    // error gets the server's reason.
    bool Export(const std::string& remoteName, std::string& error);
    // Fetches a file into localPath, which is replaced only when the whole
    // file has arrived.
    bool Get(const std::string& localPath, const std::string& remoteName);
    void Disconnect();

private:
    bool SendCommand(const char* word, const std::string& remoteName);

    IToolContext& m_context;
    Socket m_socket;
    int m_waitSeconds;
};

} // namespace mw
