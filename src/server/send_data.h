// Writing replies to a client socket. Sockets are non-blocking and a closed peer never
// raises SIGPIPE.
#pragma once

#include <chrono>
#include <cstddef>

namespace hovra {

// How long SendDataToSock waits in all for a client that does not read, before it gives
// up on the rest of the reply (the caller then drops that client).
inline constexpr std::chrono::milliseconds kSendWaitLimit{2000};

// Sends all `len` bytes, waiting while the socket would block, for at most `limit` in
// all. Returns false when the rest of the reply was dropped (time-out or error).
bool SendDataToSock(int sock, const char* data, size_t len,
                    std::chrono::milliseconds limit = kSendWaitLimit);

// One send of the whole text, its result ignored (the greeting, "echo" and the password
// answers are written this way).
void SendOnce(int sock, const char* data, size_t len);

}  // namespace hovra
