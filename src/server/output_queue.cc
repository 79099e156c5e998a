#include "server/output_queue.h"

#include <sys/socket.h>
#include <sys/uio.h>

#include <cerrno>

#include "server/socket_setup.h"

namespace hovra {

void OutputQueue::Append(std::string_view bytes) {
  if (bytes.empty()) return;
  bytes_ += bytes.size();
  if (!chunks_.empty() && chunks_.back().size() + bytes.size() <= kChunkBytes) {
    chunks_.back().append(bytes);
    return;
  }
  chunks_.emplace_back(bytes);
}

OutputQueue::WriteResult OutputQueue::WriteTo(int fd) {
  while (bytes_ > 0) {
    iovec parts[kMaxIovecs];
    int count = 0;
    for (size_t i = head_; i < chunks_.size() && count < kMaxIovecs; ++i, ++count) {
      const size_t skip = i == head_ ? headOffset_ : 0;
      parts[count].iov_base = chunks_[i].data() + skip;
      parts[count].iov_len = chunks_[i].size() - skip;
    }
    msghdr message{};
    message.msg_iov = parts;
    message.msg_iovlen = static_cast<decltype(message.msg_iovlen)>(count);
    const ssize_t n = ::sendmsg(fd, &message, kSendFlags | MSG_DONTWAIT);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return WriteResult::kMoreLeft;
      return WriteResult::kFailed;
    }
    DropWritten(static_cast<size_t>(n));
  }
  return WriteResult::kAllWritten;
}

void OutputQueue::DropWritten(size_t n) {
  bytes_ -= n;
  while (n > 0) {
    const size_t left = chunks_[head_].size() - headOffset_;
    if (n < left) {
      headOffset_ += n;
      return;
    }
    n -= left;
    std::string().swap(chunks_[head_]);  // its memory goes now, not with the index
    ++head_;
    headOffset_ = 0;
  }
  if (head_ == chunks_.size()) {
    Clear();
  } else if (head_ >= 32 && head_ * 2 >= chunks_.size()) {
    chunks_.erase(chunks_.begin(), chunks_.begin() + static_cast<long>(head_));
    head_ = 0;
  }
}

void OutputQueue::Clear() {
  chunks_.clear();
  if (chunks_.capacity() > 8) chunks_.shrink_to_fit();  // a long backlog's index goes too
  head_ = 0;
  headOffset_ = 0;
  bytes_ = 0;
}

}  // namespace hovra
