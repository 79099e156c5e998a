// The whole receive path: bytes from a client, through framing, command dispatch and the
// input readers, into the recording platform. The first byte picks how the stream is cut
// into reads (its low six bits give the read size) and whether the client still owes the
// PIN (its top bit); the rest is the stream.
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz/fuzz_platform.h"
#include "input/wheel.h"
#include "server/framing.h"
#include "server/hovra_svr_sock.h"

namespace {

hovra::CHovraSvrSock& Server() {
  static hovra::CHovraSvrSock* server = [] {
    hovra::fuzzing::FuzzPlatform();
    hovra::ServerOptions options;
    options.discovery.port = 0;
    return new hovra::CHovraSvrSock("0.0.0.0", 0, options);
  }();
  return *server;
}

void Drain(int fd) {
  char sink[65536];
  while (::recv(fd, sink, sizeof sink, MSG_DONTWAIT) > 0) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  Server();  // the server object sets up the clock the input uses
  const size_t readSize = (data[0] & 0x3f) + 1u;
  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, pair) != 0) return 0;
  // Room for the largest replies (folder listings, the Dock description), which are
  // drained only after each read.
  int room = 8 << 20;
  ::setsockopt(pair[0], SOL_SOCKET, SO_SNDBUF, &room, sizeof room);
  ::setsockopt(pair[1], SOL_SOCKET, SO_RCVBUF, &room, sizeof room);
  auto client = std::make_unique<hovra::_MouseClnt>();
  client->sock = pair[0];
  client->mustVerify = (data[0] & 0x80) != 0;

  const char* stream = reinterpret_cast<const char*>(data + 1);
  size_t left = size - 1;
  while (left > 0) {
    const size_t n = left < readSize ? left : readSize;
    const int result = hovra::ReceiveBytes(*client, stream, n);
    Drain(pair[1]);
    if (result < 0) break;
    stream += n;
    left -= n;
  }
  client->held.ReleaseAll();  // as when the connection ends
  hovra::CommitMouseWheel();
  ::close(pair[0]);
  ::close(pair[1]);
  hovra::fuzzing::SettleFuzzPlatform();
  return 0;
}
