// The command line: a subcommand (mirroring the status menu) and options for tests and
// odd setups. Defaults are the protocol's own ports.
#pragma once

#include <netinet/in.h>

#include <optional>
#include <string>
#include <vector>

namespace hovra {

struct Options {
  std::vector<std::string> command;  // empty: run the server; else e.g. {"password", "on"}
  // The backend of each platform seam ("auto" lets start-up choose; app/backend_choice.h
  // lists the names). `--backend journal` sets all three to the simulated desktop.
  std::string input = "auto";
  std::string desktop = "auto";
  std::string ui = "auto";
  // What a client's Command key is on Linux input: "control" (what Linux shortcuts use) or
  // "super".
  std::string commandKey = "control";
  std::string journalPath = "-";  // "-" is standard output
  std::optional<std::string> simPath;
  std::optional<std::string> simControlPath;
  unsigned short port = 1978;
  unsigned short discoveryPort = 2007;  // 0 turns discovery off
  std::vector<sockaddr_in> announceTo;  // replaces the two default destinations
  unsigned short probeReplyPort = 2008;
  std::optional<std::string> configDir;
  std::optional<std::string> updateUrl;
  // Not in the help: divides the periodic timers (the one-second tick, the announcements)
  // so that tests of what they do take milliseconds instead of seconds.
  unsigned timerDivisor = 1;
  bool hidden = false;   // started at login: no start-up notice (the address panel)
  bool verbose = false;  // debugging detail in the log (screen frames, key combinations)
  bool help = false;
  bool version = false;
};

struct ParseResult {
  Options options;
  std::string error;  // empty when the command line is good
};

ParseResult ParseOptions(int argc, const char* const* argv);
const char* UsageText();

}  // namespace hovra
