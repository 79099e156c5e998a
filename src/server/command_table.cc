#include "server/command_table.h"

#include <array>

#include "server/hovra_svr_sock.h"

namespace hovra {
namespace {

void Ping(CommandContext& c) { c.ReplyOnce("echo", 4); }

// Matching order matters only where one keyword begins another; the rows keep the
// protocol's order all the same.
constexpr std::array kRows = {
    CommandRow{"ping", &Ping},
};

}  // namespace

std::span<const CommandRow> CommandRows() { return kRows; }

const CommandRow* MatchCommand(std::string_view line) {
  for (const CommandRow& row : kRows) {
    if (line.starts_with(row.keyword)) return &row;
  }
  return nullptr;
}

}  // namespace hovra
