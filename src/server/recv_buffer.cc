#include "server/recv_buffer.h"

#include <cstring>

namespace hovra {

int RecvBuffer::Consume(int n) {
  if (n > Length()) n = Length();
  if (n > 0) readPos_ += n;
  return Length();
}

bool RecvBuffer::PrepareRead() {
  const bool discarded = Full();
  if (discarded) readPos_ = end_;
  if (readPos_ > 0) {
    const int left = Length();
    if (left > 0) std::memmove(bytes_.get(), bytes_.get() + readPos_, static_cast<size_t>(left));
    end_ = left;
    readPos_ = 0;
    bytes_[static_cast<size_t>(end_)] = '\0';
  }
  return discarded;
}

char* RecvBuffer::Space() {
  if (!bytes_) bytes_ = std::make_unique_for_overwrite<char[]>(kRecvBufferBytes + 1);
  return bytes_.get() + end_;
}

void RecvBuffer::Commit(size_t n) {
  end_ += static_cast<int>(n);
  bytes_[static_cast<size_t>(end_)] = '\0';
}

void RecvBuffer::ReleaseIfEmpty() {
  if (Length() != 0) return;
  bytes_.reset();
  readPos_ = end_ = 0;
}

void RecvBuffer::Clear() {
  readPos_ = end_ = 0;
  if (bytes_) bytes_[0] = '\0';
}

}  // namespace hovra
