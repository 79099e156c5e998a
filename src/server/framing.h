// Cutting a client's byte stream into "key"/"mos" frames and text lines, and the one
// receive path that feeds it (a socket read in the server, plain bytes in tests).
#pragma once

#include <chrono>
#include <cstddef>

#include "server/client.h"

namespace hovra {

// How long one client's input may be handled in one pass of the loop before the others
// get their turn; what is left waits in its buffer for the next pass.
inline constexpr std::chrono::microseconds kClientSlice{1000};

class SliceBudget {
 public:
  static SliceBudget OnePass() { return SliceBudget(kClientSlice); }
  static SliceBudget Unlimited() { return SliceBudget(std::chrono::microseconds::max()); }
  // True when one more message may be handled; the first always may.
  bool Take();

 private:
  using Clock = std::chrono::steady_clock;
  explicit SliceBudget(std::chrono::microseconds slice);
  Clock::time_point deadline_;
  bool unlimited_;
  bool first_ = true;
};

// One read from the client's socket into its buffer, then the framing loop within
// `budget`. 0 keeps the client, -1 ends it (peer closed, receive error, framing asked).
int RecvClntData(_MouseClnt& c, SliceBudget& budget);
// The same path with `data` in place of a socket read, handled whole; replies are then
// written to c.sock. For tests and fuzzing.
int ReceiveBytes(_MouseClnt& c, const char* data, size_t len);

// The framing loop over what is buffered: 0 when everything complete was handled or the
// budget ran out (c.inputBacklog tells which), -1 when the client is to be dropped.
int HandleClntMsg(_MouseClnt& c, SliceBudget& budget);
// The frame at the buffer's start: the bytes it took, or 0 when it is not complete yet.
int HandleMsg(_MouseClnt& c, const char* p);
// The text line at the buffer's start (complete): the bytes it took, "\n" included.
int HandleGesture(_MouseClnt& c);
// Removes the first n bytes of the client's buffer; returns the new length.
int RemoveFromRecvBuf(_MouseClnt& c, int n);

}  // namespace hovra
