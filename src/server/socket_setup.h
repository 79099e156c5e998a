// Setting up the server's sockets the same way on Linux and macOS: non-blocking and
// close-on-exec descriptors, the dual-stack listener, accepted clients with Nagle off and
// without SIGPIPE.
#pragma once

#include <sys/socket.h>

namespace hovra {

#ifdef MSG_NOSIGNAL
inline constexpr int kSendFlags = MSG_NOSIGNAL;
#else
inline constexpr int kSendFlags = 0;  // SO_NOSIGPIPE is set on each socket instead
#endif

bool MakeNonBlocking(int fd);

// The TCP listener on the IPv6 any-address (IPv4 clients arrive mapped), or -1 (logged).
int OpenListener(unsigned short port);
unsigned short LocalPort(int fd);

// Accepts one connection, non-blocking, with TCP_NODELAY and no SIGPIPE on writes; -1 with
// errno set when there is none. `peer` receives the client's address.
int AcceptClient(int listener, sockaddr_storage& peer);

// Errors of accept that mean the process or system is out of descriptors or memory.
bool IsDescriptorShortage(int error);

}  // namespace hovra
