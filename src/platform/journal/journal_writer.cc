#include "platform/journal/journal_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/log.h"

namespace hovra::platform::journal {

std::unique_ptr<JournalWriter> JournalWriter::OpenFile(const std::string& path) {
  if (path == "-") {
    return std::unique_ptr<JournalWriter>(new JournalWriter(Mode::kFile, STDOUT_FILENO, false));
  }
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  return std::unique_ptr<JournalWriter>(new JournalWriter(Mode::kFile, fd, true));
}

std::unique_ptr<JournalWriter> JournalWriter::InMemory() {
  return std::unique_ptr<JournalWriter>(new JournalWriter(Mode::kMemory, -1, false));
}

std::unique_ptr<JournalWriter> JournalWriter::Discarding() {
  return std::unique_ptr<JournalWriter>(new JournalWriter(Mode::kDiscard, -1, false));
}

JournalWriter::~JournalWriter() {
  if (ownsFd_) ::close(fd_);
}

void JournalWriter::Write(std::string_view line) {
  if (mode_ == Mode::kDiscard) return;
  std::lock_guard<std::mutex> lock(mutex_);
  if (mode_ == Mode::kMemory) {
    lines_.emplace_back(line);
    return;
  }
  scratch_.assign(line);
  scratch_ += '\n';
  size_t off = 0;
  while (off < scratch_.size()) {
    ssize_t n = ::write(fd_, scratch_.data() + off, scratch_.size() - off);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      static LogOnce once;
      if (once.First())
        Log("journal: write failed (errno %d); journal lines are being lost", errno);
      return;
    }
    off += static_cast<size_t>(n);
  }
}

std::vector<std::string> JournalWriter::TakeLines() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  out.swap(lines_);
  return out;
}

}  // namespace hovra::platform::journal
