// The journal: one JSON object per line, flushed after every line, in posting order.
// Tools outside the project read it, so its format never changes silently.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace hovra::platform::journal {

class JournalWriter {
 public:
  // Appends to the file at `path` ("-" is standard output). Nothing on failure.
  static std::unique_ptr<JournalWriter> OpenFile(const std::string& path);
  // Keeps the lines in memory (tests read them back with TakeLines).
  static std::unique_ptr<JournalWriter> InMemory();
  // Formats nothing and keeps nothing (measuring the server without the journal's cost).
  static std::unique_ptr<JournalWriter> Discarding();
  ~JournalWriter();

  JournalWriter(const JournalWriter&) = delete;
  JournalWriter& operator=(const JournalWriter&) = delete;

  // False for the discarding journal: callers may skip building lines at all.
  bool Enabled() const { return mode_ != Mode::kDiscard; }
  void Write(std::string_view line);
  std::vector<std::string> TakeLines();

 private:
  enum class Mode { kFile, kMemory, kDiscard };
  JournalWriter(Mode mode, int fd, bool ownsFd) : mode_(mode), fd_(fd), ownsFd_(ownsFd) {}

  Mode mode_;
  int fd_ = -1;
  bool ownsFd_ = false;
  std::mutex mutex_;
  std::string scratch_;
  std::vector<std::string> lines_;
};

}  // namespace hovra::platform::journal
