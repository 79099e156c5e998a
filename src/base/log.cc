#include "base/log.h"

#include <sys/time.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace hovra {
namespace {

std::mutex g_writeMutex;
std::atomic<bool> g_verbose{false};

void WriteAll(int fd, const char* bytes, size_t len) {
  size_t off = 0;
  while (off < len) {
    ssize_t w = ::write(fd, bytes + off, len - off);
    if (w <= 0) break;
    off += static_cast<size_t>(w);
  }
}

// Writes one line with a single write() so that lines of different threads never mix.
void WriteLine(int fd, const char* prefix, const char* format, va_list args) {
  char line[2048];
  int used = prefix ? std::snprintf(line, sizeof line, "%s", prefix) : 0;
  int n = std::vsnprintf(line + used, sizeof line - static_cast<size_t>(used), format, args);
  size_t len = static_cast<size_t>(used) + (n < 0 ? 0 : static_cast<size_t>(n));
  if (len > sizeof line - 2) len = sizeof line - 2;  // an over-long line is cut, not lost
  if (len == 0 || line[len - 1] != '\n') line[len++] = '\n';
  std::lock_guard<std::mutex> lock(g_writeMutex);
  WriteAll(fd, line, len);
}

void LogLine(const char* format, va_list args) {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  tm local{};
  localtime_r(&tv.tv_sec, &local);
  char prefix[64];
  std::snprintf(prefix, sizeof prefix, "%02d:%02d:%02d.%03d hovra-server: ", local.tm_hour,
                local.tm_min, local.tm_sec, static_cast<int>(tv.tv_usec / 1000));
  WriteLine(STDERR_FILENO, prefix, format, args);
}

}  // namespace

void Log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogLine(format, args);
  va_end(args);
}

void Debug(const char* format, ...) {
  if (!IsVerbose()) return;
  va_list args;
  va_start(args, format);
  LogLine(format, args);
  va_end(args);
}

void LogBlock(std::string_view text) {
  std::lock_guard<std::mutex> lock(g_writeMutex);
  WriteAll(STDERR_FILENO, text.data(), text.size());
}

void SetVerbose(bool on) { g_verbose.store(on, std::memory_order_relaxed); }
bool IsVerbose() { return g_verbose.load(std::memory_order_relaxed); }

void PrintLine(const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteLine(STDOUT_FILENO, nullptr, format, args);
  va_end(args);
}

}  // namespace hovra
