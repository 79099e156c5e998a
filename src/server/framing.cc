// Cutting a client's byte stream into "key"/"mos" frames and text lines.
#include <cstring>

#include "base/decimal.h"
#include "base/log.h"
#include "server/frame_payloads.h"
#include "server/hovra_svr_sock.h"

namespace hovra {
namespace {

constexpr int kFrameHeaderBytes = 6;  // tag (3) and payload length as decimal text (3)

bool StartsWithFrameTag(const char* p) {
  return std::memcmp(p, "key", 3) == 0 || std::memcmp(p, "mos", 3) == 0;
}

}  // namespace

int CHovraSvrSock::HandleClntMsg(_MouseClnt& c) {
  for (;;) {
    if (c.recvLen < 3) return 0;
    int result;
    if (StartsWithFrameTag(c.recvBuf)) {
      result = HandleMsg(c, c.recvBuf);
    } else if (std::strchr(c.recvBuf, '\n') == nullptr) {
      // The search stops at the first NUL, so a NUL in the data hides a newline behind it.
      return 0;
    } else {
      result = HandleGesture(c);
    }
    if (result < 0) return -1;
    if (result == 0) return 0;
  }
}

int CHovraSvrSock::HandleMsg(_MouseClnt& c, char* p) {
  if (c.recvLen < kFrameHeaderBytes) return 0;
  int n = ParseDecimal(p + 3, 3);
  if (n < 0) {
    // Only the header goes; what followed it is read again as new input.
    RemoveFromRecvBuf(c, kFrameHeaderBytes);
    return kFrameHeaderBytes;
  }
  if (n > c.recvLen - kFrameHeaderBytes) return 0;
  if (c.mustVerify) {
    if (c.unverifiedLogged.First()) {
      Log("client %d has not given the PIN; its input is ignored until it does", c.sock);
    }
  } else if (p[0] == 'k') {
    HandleKeyString(c, p + kFrameHeaderBytes, n);
  } else {
    HandleMouseString(c, p + kFrameHeaderBytes, n);
  }
  RemoveFromRecvBuf(c, kFrameHeaderBytes + n);
  return kFrameHeaderBytes + n;
}

int CHovraSvrSock::HandleKeyString(_MouseClnt& c, char* payload, int n) {
  ReadKeyPayload(payload, n, c.held);
  return 0;
}

int CHovraSvrSock::HandleMouseString(_MouseClnt& c, char* payload, int n) {
  ReadMousePayload(payload, n, c.held);
  return 0;
}

}  // namespace hovra
