// Taking one text line from the front of a client's buffer and carrying it out.
#include <cstring>

#include "base/log.h"
#include "server/command_table.h"
#include "server/framing.h"

namespace hovra {
namespace {

constexpr size_t kLineBufferBytes = 4096;  // a line's content and its terminating NUL

}  // namespace

int HandleGesture(_MouseClnt& c) {
  const char* start = c.recvBuf.Data();
  const char* newline = std::strchr(start, '\n');
  const int consumed = static_cast<int>(newline - start) + 1;
  size_t contentLen = static_cast<size_t>(consumed - 1);
  if (contentLen >= 1 && start[contentLen - 1] == '\r') --contentLen;

  if (contentLen >= kLineBufferBytes) {
    // A cut command could open another file or address than the one meant, so a line
    // that does not fit is dropped whole.
    if (c.longLineLogged.First()) {
      Log("client %d: a command line of %zu bytes is longer than %zu; dropped", c.sock, contentLen,
          kLineBufferBytes - 1);
    }
    RemoveFromRecvBuf(c, consumed);
    return consumed;
  }
  char line[kLineBufferBytes];
  std::memcpy(line, start, contentLen);
  line[contentLen] = '\0';
  RemoveFromRecvBuf(c, consumed);  // before the command runs

  const CommandRow* row = MatchCommand(std::string_view(line, contentLen));
  if (row == nullptr) return consumed;
  if (c.mustVerify && !row->allowedBeforePin) {
    if (c.unverifiedLogged.First()) {
      Log("client %d has not given the PIN; its input is ignored until it does", c.sock);
    }
    return consumed;
  }
  CommandContext context{c, line, line + row->keyword.size()};
  row->op(context);
  return c.ending == _MouseClnt::Ending::kNone ? consumed : -1;
}

}  // namespace hovra
