// The text commands: an ordered table of keywords, matched as prefixes of the line, exact
// and case-sensitive; the first matching row wins. A pure dispatcher: each row calls an
// input or action function, or a reply through the client's CommandClient.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "server/command_client.h"

namespace hovra {

// What a command's operation gets: the client it came from, the whole line (without its
// line end) and, for keywords ending in a space, the rest of the line after the keyword.
struct CommandContext {
  CommandClient& client;
  const char* line;
  const char* arg;
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
