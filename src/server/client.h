// One connected client: its socket and peer address, the bytes received and not yet
// handled, the replies not yet written, what it asked for and what it holds down.
// Worker thread only.
#pragma once

#include <sys/socket.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/log.h"
#include "input/held_input.h"
#include "server/command_client.h"
#include "server/output_queue.h"
#include "server/pin_guard.h"
#include "server/recv_buffer.h"
#include "server/security/ip_address.h"

namespace hovra {

// Replies waiting to be written to one client, at most. The largest replies are an icon
// (up to 512 KiB), a folder listing (64 KiB) and the Dock description (a few KiB); beyond
// what the socket itself holds, this is room for eight of the largest. A client past it
// does not read its replies and is closed.
inline constexpr size_t kOutputLimitBytes = 4u << 20;
// A client whose socket takes no more of its replies has its requests wait (unread, so
// TCP slows its sending) until it has taken them: it costs the others no more work. Within
// one slice, handling stops once this much waits (half the largest reply).
inline constexpr size_t kOutputPauseBytes = 256u << 10;
// A client whose requests wait that way and that takes no byte of its replies for this
// long does not read them, and is closed.
inline constexpr std::chrono::seconds kStalledOutput{5};

// What the server asks of the application shell.
struct ServerHooks {
  std::function<bool()> isPasswordProtection;  // "needpassword\n" after the greeting
  PinCheck verifyPassword;                     // the "verifypassword " check
};

class _MouseClnt final : public CommandClient {
 public:
  enum class Ending {
    kNone,
    kAfterReply,  // the replies queued so far go out first (a last "verifypassword failed")
    kNow,         // over the output limit, or the peer is gone
  };

  explicit _MouseClnt(int socket = -1, const ServerHooks* serverHooks = nullptr,
                      PinGuard* guard = nullptr)
      : sock(socket), hooks(serverHooks), pinGuard(guard) {}

  int Id() const override { return sock; }
  void Reply(std::string_view bytes) override;
  HeldInput& Held() override { return held; }
  void SetReportApp(bool on) override { reportApp = on; }
  bool VerifyPassword(const char* text) override;

  // Asks for the connection to end at the next loop boundary (the strongest ask wins).
  void EndConnection(Ending how);
  // Enough of its replies wait unwritten that its requests should wait too.
  bool OutputBackedUp() const { return out.Bytes() >= kOutputPauseBytes; }
  // Writes what the socket takes now, noting when it took anything.
  OutputQueue::WriteResult WriteOut();

  int sock;
  const ServerHooks* hooks;
  PinGuard* pinGuard;       // the server's; without one, answers go to the hook unguarded
  sockaddr_storage peer{};  // where the client connects from
  std::optional<security::IpAddress> peerAddress;  // the same, as the guards count it
  uint64_t serial = 0;  // tells this connection from a later one on the same descriptor
  RecvBuffer recvBuf;
  OutputQueue out;
  bool reportApp = false;  // "reportCurrentApp": told of every new frontmost application
  // Complete input may be left in recvBuf: the client's time in the last pass ran out,
  // or its replies backed up.
  bool inputBacklog = false;
  bool inputPaused = false;  // its socket took not all its replies: its input waits
  std::chrono::steady_clock::time_point lastOutputTaken;  // when its socket last took bytes
  Ending ending = Ending::kNone;
  // What this client holds down, released when its connection ends.
  HeldInput held;
  // Connected while PIN protection was on and not verified yet: only "verifypassword "
  // and "ping" are carried out, everything else is consumed and ignored.
  bool mustVerify = false;
  int failedChecks = 0;            // of "verifypassword " while mustVerify
  bool verified = false;           // has given the PIN on this connection
  bool countedUnverified = false;  // in the server's count of its source's unverified ones

  // Each logged once per client.
  LogOnce overflowLogged;
  LogOnce longLineLogged;
  LogOnce unverifiedLogged;
};

}  // namespace hovra
