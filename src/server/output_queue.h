// A client's replies not yet written, in order. Small replies share chunks; a write takes
// as much as the socket accepts, and the next one resumes where it stopped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace hovra {

class OutputQueue {
 public:
  enum class WriteResult { kAllWritten, kMoreLeft, kFailed };

  void Append(std::string_view bytes);
  size_t Bytes() const { return bytes_; }
  bool Empty() const { return bytes_ == 0; }

  // Writes what the socket takes now, without waiting. kFailed: the peer is gone (errno
  // tells why); the queue keeps what was not written.
  WriteResult WriteTo(int fd);
  void Clear();

 private:
  static constexpr size_t kChunkBytes = 16384;  // small replies are gathered up to this
  static constexpr int kMaxIovecs = 64;

  void DropWritten(size_t n);

  std::vector<std::string> chunks_;
  size_t head_ = 0;        // first chunk not wholly written
  size_t headOffset_ = 0;  // bytes of chunks_[head_] already written
  size_t bytes_ = 0;       // not yet written
};

}  // namespace hovra
