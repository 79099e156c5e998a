#include "server/framing.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "base/decimal.h"
#include "base/log.h"
#include "input/wheel.h"
#include "server/frame_payloads.h"

namespace hovra {
namespace {

constexpr int kFrameHeaderBytes = 6;  // tag (3) and payload length as decimal text (3)

bool StartsWithFrameTag(const char* p) {
  return std::memcmp(p, "key", 3) == 0 || std::memcmp(p, "mos", 3) == 0;
}

// The receive path: room is made (a full buffer without any frame or line is discarded),
// `read` fills it, the framing loop runs and gathered wheel motion is posted.
template <typename Read>
int ReadAndHandle(_MouseClnt& c, SliceBudget& budget, Read&& read) {
  if (c.recvBuf.PrepareRead() && c.overflowLogged.First()) {
    Log("client %d: %d bytes without a complete frame or line; discarding them", c.sock,
        kRecvBufferBytes);
  }
  const long n = read(c.recvBuf.Space(), c.recvBuf.SpaceBytes());
  if (n <= 0) return static_cast<int>(n);
  c.recvBuf.Commit(static_cast<size_t>(n));
  const int result = HandleClntMsg(c, budget);
  CommitMouseWheel();
  return result;
}

}  // namespace

SliceBudget::SliceBudget(std::chrono::microseconds slice)
    : unlimited_(slice == std::chrono::microseconds::max()) {
  if (!unlimited_) deadline_ = Clock::now() + slice;
}

bool SliceBudget::Take() {
  if (first_ || unlimited_) {
    first_ = false;
    return true;
  }
  return Clock::now() < deadline_;
}

int RecvClntData(_MouseClnt& c, SliceBudget& budget) {
  return ReadAndHandle(c, budget, [&c](char* into, size_t room) -> long {
    const ssize_t n = ::recv(c.sock, into, room, 0);
    if (n > 0) return n;
    if (n == 0) return -1;  // the peer closed
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return 0;
    if (errno != ECONNRESET) Log("client %d: receive failed: %s", c.sock, std::strerror(errno));
    return -1;
  });
}

int ReceiveBytes(_MouseClnt& c, const char* data, size_t len) {
  int result = 0;
  while (len > 0 && result >= 0) {
    SliceBudget budget = SliceBudget::Unlimited();
    result = ReadAndHandle(c, budget, [&](char* into, size_t room) -> long {
      const size_t n = len < room ? len : room;
      std::memcpy(into, data, n);
      data += n;
      len -= n;
      return static_cast<long>(n);
    });
    // Input held back by replies that backed up goes on once the socket took them.
    while (result >= 0 && c.inputBacklog && c.WriteOut() == OutputQueue::WriteResult::kAllWritten) {
      SliceBudget more = SliceBudget::Unlimited();
      result = HandleClntMsg(c, more);
      CommitMouseWheel();
    }
  }
  c.WriteOut();
  return result;
}

int HandleClntMsg(_MouseClnt& c, SliceBudget& budget) {
  c.inputBacklog = false;
  for (;;) {
    if (c.ending != _MouseClnt::Ending::kNone) return c.ending == _MouseClnt::Ending::kNow ? -1 : 0;
    if (c.recvBuf.Length() < 3) return 0;
    const char* p = c.recvBuf.Data();
    if (!StartsWithFrameTag(p) && std::strchr(p, '\n') == nullptr) {
      // The search stops at the first NUL, so a NUL in the data hides a newline behind it.
      return 0;
    }
    if (!budget.Take() || c.OutputBackedUp()) {
      c.inputBacklog = true;
      return 0;
    }
    const int result = StartsWithFrameTag(p) ? HandleMsg(c, p) : HandleGesture(c);
    if (result < 0) return -1;
    if (result == 0) return 0;
  }
}

int HandleMsg(_MouseClnt& c, const char* p) {
  const int buffered = c.recvBuf.Length();
  if (buffered < kFrameHeaderBytes) return 0;
  int n = ParseDecimal(p + 3, 3);
  if (n < 0) {
    // Only the header goes; what followed it is read again as new input.
    RemoveFromRecvBuf(c, kFrameHeaderBytes);
    return kFrameHeaderBytes;
  }
  if (n > buffered - kFrameHeaderBytes) return 0;
  if (c.mustVerify) {
    if (c.unverifiedLogged.First()) {
      Log("client %d has not given the PIN; its input is ignored until it does", c.sock);
    }
  } else if (p[0] == 'k') {
    ReadKeyPayload(p + kFrameHeaderBytes, n, c.held);
  } else {
    ReadMousePayload(p + kFrameHeaderBytes, n, c.held);
  }
  RemoveFromRecvBuf(c, kFrameHeaderBytes + n);
  return kFrameHeaderBytes + n;
}

int RemoveFromRecvBuf(_MouseClnt& c, int n) { return c.recvBuf.Consume(n); }

}  // namespace hovra
