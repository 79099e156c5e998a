#include "server/client.h"

namespace hovra {
namespace {

// A client that connected under PIN protection gets this many wrong answers; the next
// wrong one closes its connection.
constexpr int kPinAttempts = 5;

}  // namespace

void _MouseClnt::Reply(std::string_view bytes) {
  if (ending == Ending::kNow) return;  // nothing more is written to it
  out.Append(bytes);
  if (out.Bytes() > kOutputLimitBytes) {
    Log("client %d: %zu bytes of replies wait unread, over the limit of %zu; closing it", sock,
        out.Bytes(), kOutputLimitBytes);
    out.Clear();
    EndConnection(Ending::kNow);
  }
}

bool _MouseClnt::VerifyPassword(const char* text) {
  bool right = false;
  if (pinGuard != nullptr) {
    right = pinGuard->Check(text, peerAddress);
  } else if (hooks != nullptr && hooks->verifyPassword) {
    right = hooks->verifyPassword(text != nullptr ? text : "", std::string(), 0);
  }
  if (right) {
    mustVerify = false;
    verified = true;
    return true;
  }
  // An answer refused unchecked counts here like a wrong one: it is answered the same way.
  if (mustVerify && ++failedChecks > kPinAttempts) {
    Log("client %d: %d wrong PINs; closing the connection", sock, failedChecks);
    EndConnection(Ending::kAfterReply);
  }
  return false;
}

OutputQueue::WriteResult _MouseClnt::WriteOut() {
  const size_t before = out.Bytes();
  const OutputQueue::WriteResult result = out.WriteTo(sock);
  if (out.Bytes() < before) lastOutputTaken = std::chrono::steady_clock::now();
  return result;
}

void _MouseClnt::EndConnection(Ending how) {
  if (static_cast<int>(how) > static_cast<int>(ending)) ending = how;
}

}  // namespace hovra
