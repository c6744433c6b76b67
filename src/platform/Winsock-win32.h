// Winsock connections shared by the TCP stream and the MAX server socket:
// Winsock started once, a connect bounded by a wait limit, and the send and
// receive limits.
#pragma once

#include <string>
#include <winsock2.h>

namespace mw {

// Connects to host:port and returns the connected socket, or INVALID_SOCKET
// with the reason in problem. seconds > 0 bounds the connect and every later
// send and receive; 0 leaves all of them to the system.
SOCKET ConnectTcp(const std::string& host, int port, int seconds, std::string& problem);

// Sets the send and receive limits of a connected socket (0: none).
void SetSocketLimits(SOCKET socket, int seconds);

} // namespace mw
