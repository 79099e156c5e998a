// The command line: defaults, every option in both spellings, and refusals.
#include "app/options.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <vector>

namespace hovra {
namespace {

ParseResult Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "hovra-server");
  return ParseOptions(static_cast<int>(args.size()), args.data());
}

TEST(Options, DefaultsAreTheProtocolsPortsAndValuesComeSeparateOrJoined) {
  ParseResult r = Parse({});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.port, 1978);
  EXPECT_EQ(r.options.discoveryPort, 2007);
  EXPECT_EQ(r.options.probeReplyPort, 2008);
  EXPECT_EQ(r.options.journalPath, "-");
  EXPECT_EQ(r.options.input, "auto");
  EXPECT_EQ(r.options.desktop, "auto");
  EXPECT_EQ(r.options.ui, "auto");

  r = Parse({"password", "on", "--port=0", "--discovery-port", "0", "--announce", "127.0.0.1:3111",
             "--announce=127.0.0.1:2008", "--journal", "none", "--backend=journal", "--config-dir",
             "/tmp/x", "--hidden", "--timer-divisor", "20"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.command, (std::vector<std::string>{"password", "on"}));
  EXPECT_EQ(r.options.port, 0);
  EXPECT_EQ(r.options.discoveryPort, 0);
  ASSERT_EQ(r.options.announceTo.size(), 2u);
  EXPECT_EQ(ntohs(r.options.announceTo[1].sin_port), 2008);
  EXPECT_EQ(r.options.journalPath, "none");
  EXPECT_EQ(r.options.input, "journal") << "--backend journal is the simulated desktop throughout";
  EXPECT_EQ(r.options.desktop, "journal");
  EXPECT_EQ(r.options.ui, "headless");
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
  EXPECT_EQ(r.options.input, "x11");
  EXPECT_EQ(r.options.desktop, "linux");
  EXPECT_EQ(r.options.ui, "tray");
  EXPECT_EQ(r.options.commandKey, "control") << "Linux shortcuts use Control";
  EXPECT_EQ(Parse({"--command-key=super"}).options.commandKey, "super");
}

}  // namespace
}  // namespace hovra
