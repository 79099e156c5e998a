// The command line: defaults, every option in both spellings, and refusals.
#include "app/options.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace hovra {
namespace {

ParseResult Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "hovra-server");
  return ParseOptions(static_cast<int>(args.size()), args.data());
}

// The journal's path and the input, desktop and user interface backends' names.
auto Backends(const Options& o) { return std::tie(o.journalPath, o.input, o.desktop, o.ui); }

TEST(Options, DefaultsAreTheProtocolsPortsAndValuesComeSeparateOrJoined) {
  ParseResult r = Parse({});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(std::tie(r.options.port, r.options.discoveryPort, r.options.probeReplyPort),
            std::tuple(1978, 2007, 2008));
  EXPECT_EQ(Backends(r.options), std::tuple("-", "auto", "auto", "auto"));

  r = Parse({"password", "on", "--port=0", "--discovery-port", "0", "--announce", "127.0.0.1:3111",
             "--announce=127.0.0.1:2008", "--journal", "none", "--backend=journal", "--config-dir",
             "/tmp/x", "--hidden", "--timer-divisor", "20"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.command, (std::vector<std::string>{"password", "on"}));
  EXPECT_EQ(std::tie(r.options.port, r.options.discoveryPort), std::tuple(0, 0));
  ASSERT_EQ(r.options.announceTo.size(), 2u);
  EXPECT_EQ(ntohs(r.options.announceTo[1].sin_port), 2008);
  EXPECT_EQ(Backends(r.options), std::tuple("none", "journal", "journal", "headless"))
      << "--backend journal is the simulated desktop throughout";
  EXPECT_EQ(*r.options.configDir, "/tmp/x");
  EXPECT_TRUE(r.options.hidden);
  EXPECT_EQ(r.options.timerDivisor, 20u);
  EXPECT_EQ(std::string(UsageText()).find("timer-divisor"), std::string::npos) << "tests only";
}

TEST(Options, RefusesWhatItCannotUseAndBackendX11IsAnAliasOfInputX11) {
  const std::vector<std::vector<const char*>> refused = {
      {"--port", "70000"}, {"--port", "12ab"},       {"--probe-reply-port", "0"},
      {"--ui", "linux"},   {"--backend", "wayland"}, {"--announce", "somewhere:1"},
      {"--input", "tray"}, {"--desktop", "x11"},     {"--command-key", "meta"},
      {"--frobnicate"},    {"--timer-divisor", "0"}, {"--journal"}};  // a value missing
  for (const auto& args : refused) EXPECT_NE(Parse(args).error, "") << args[0];
  ParseResult r = Parse({"--backend", "x11", "--desktop=linux", "--ui", "tray"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(Backends(r.options), std::tuple("-", "x11", "linux", "tray"));
  EXPECT_EQ(r.options.commandKey, "control") << "Linux shortcuts use Control";
  EXPECT_EQ(Parse({"--command-key=super"}).options.commandKey, "super");
}

}  // namespace
}  // namespace hovra
