// A client's received bytes not yet consumed. Consuming advances one read cursor; the
// unconsumed rest moves to the front once per read, just before the next bytes are taken
// in. The unconsumed bytes are always followed by a NUL (the line search stops there).
// The storage exists only while bytes are held, so idle clients cost nothing here.
#pragma once

#include <cstddef>
#include <memory>

namespace hovra {

inline constexpr int kRecvBufferBytes = 8192;  // per client; one frame or line must fit

class RecvBuffer {
 public:
  const char* Data() const { return bytes_ ? bytes_.get() + readPos_ : kEmpty; }
  int Length() const { return end_ - readPos_; }
  bool Full() const { return Length() == kRecvBufferBytes; }

  // Removes the first `n` (at most Length()) bytes; returns the length left.
  int Consume(int n);

  // Makes room for the next read: the unconsumed bytes move to the front. A buffer full
  // of bytes that make no frame or line is emptied instead (returns true then).
  bool PrepareRead();
  // Where the next read goes and how much fits (after PrepareRead).
  char* Space();
  size_t SpaceBytes() const { return static_cast<size_t>(kRecvBufferBytes - end_); }
  // `n` bytes were written at Space().
  void Commit(size_t n);

  // Gives the storage back when nothing is held.
  void ReleaseIfEmpty();
  void Clear();

 private:
  static constexpr char kEmpty[1] = {'\0'};
  std::unique_ptr<char[]> bytes_;  // kRecvBufferBytes plus the terminating NUL
  int readPos_ = 0;
  int end_ = 0;
};

}  // namespace hovra
