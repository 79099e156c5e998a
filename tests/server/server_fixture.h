// An in-process server (no discovery) on the recording platform, and loose client records.
#pragma once

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <memory>
#include <string>

#include "input/key_names.h"
#include "server/framing.h"
#include "server/hovra_svr_sock.h"
#include "tests/support/socket_client.h"
#include "tests/support/test_platform.h"

namespace hovra::testing {

class ServerFixture : public ::testing::Test {
 protected:
  ServerFixture() {
    FillKeyNameMaps();
    ServerOptions options;
    options.discovery.port = 0;
    server_ = std::make_unique<CHovraSvrSock>("0.0.0.0", 0, options);
  }

  // A client record not in the server's table: the test feeds it bytes itself.
  struct LooseClient {
    _MouseClnt record;
    std::unique_ptr<SocketClient> peer;  // reads what the server replies
  };
  std::unique_ptr<LooseClient> MakeClient() {
    int pair[2];
    ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, pair);
    auto client = std::make_unique<LooseClient>();
    client->record.sock = pair[0];
    client->peer = std::make_unique<SocketClient>(pair[1]);
    return client;
  }

  void Feed(LooseClient& c, std::string_view b) { ReceiveBytes(c.record, b.data(), b.size()); }
  static std::string Buffered(const LooseClient& c) {
    return std::string(c.record.recvBuf.Data(), static_cast<size_t>(c.record.recvBuf.Length()));
  }

  TestPlatform platform_;
  std::unique_ptr<CHovraSvrSock> server_;
};

}  // namespace hovra::testing
