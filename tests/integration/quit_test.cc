// Each quit signal lets go of held input and ends without waiting on an update check.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include "tests/support/server_process.h"
#include "tests/support/silent_http_server.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

TEST(Quit, EachSignalReleasesHeldInputAndEndsPromptlyWhileAnUpdateCheckHangs) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    SilentHttpServer updates;
    ServerProcess server(ServerProcessOptions{
        .simJson = R"({"osVersion":"14.2","screens":[[0,0,1000,800]],"pointer":[500,400]})",
        .extraArgs = {"--update-url", updates.Url()}});
    ASSERT_NE(server.Port(), 0) << server.Stderr();
    ASSERT_TRUE(updates.WaitForRequest(10s)) << "the start-up check asks and hangs";

    SocketClient holder(server.Port());
    ASSERT_EQ(holder.ReadUntil("\n"), "system mac 14.2\n");
    holder.Send(KeyFrame("[R] SHIFT d") + MouseFrame("R l d") + "ping\n");
    ASSERT_EQ(holder.Read(4), "echo");
    const size_t before = server.JournalLines().size();

    ::kill(server.Pid(), signal);
    ASSERT_TRUE(server.WaitForStderr("stopped", 5s)) << server.Stderr();
    // From "stopped" on, the port takes nobody (the process may still be ending).
    SocketClient late(server.Port());
    EXPECT_FALSE(late.Connected()) << "a connection after \"stopped\" is refused";
    // Well before the 30 s the hanging check could take: it is not waited for.
    EXPECT_EQ(server.WaitForExit(5s), 0);

    const Lines lines = server.JournalLines();
    EXPECT_THAT(
        Lines(lines.begin() + static_cast<long>(before), lines.end()),
        ::testing::IsSupersetOf({R"({"kind":"mouse","type":2,"x":500,"y":400,"button":0})",
                                 R"({"kind":"key","code":56,"down":false,"source":"none"})"}));
    EXPECT_TRUE(holder.WaitForClose(1s));
  }
}

}  // namespace
}  // namespace hovra::testing
