// The text commands: an ordered table of keywords, matched as prefixes of the line, exact
// and case-sensitive; the first matching row wins.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace hovra {

class CHovraSvrSock;
struct _MouseClnt;

// What a command's operation gets: the client it came from, the whole line (without its
// line end) and, for keywords ending in a space, the rest of the line after the keyword.
struct CommandContext {
  CHovraSvrSock& server;
  _MouseClnt& client;
  const char* line;
  const char* arg;

  // A reply that must arrive whole (the client is dropped if it does not take it).
  void Reply(const char* data, size_t len);
  // A reply written with one send, its result ignored ("echo", the password answers).
  void ReplyOnce(const char* data, size_t len);
};

using CommandOp = void (*)(CommandContext&);

struct CommandRow {
  std::string_view keyword;  // every byte of it is compared, a trailing space included
  CommandOp op;
  // Carried out for a client that still owes the PIN ("verifypassword ", "ping").
  bool allowedBeforePin = false;
};

std::span<const CommandRow> CommandRows();

// The first row whose keyword begins `line`, or null.
const CommandRow* MatchCommand(std::string_view line);

}  // namespace hovra
