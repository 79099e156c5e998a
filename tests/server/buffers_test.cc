// A client's queue of replies (its receive buffer is the framing tests').
#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "server/client.h"
#include "server/output_queue.h"

// Heap bytes held by this test program, so that a test can see memory being given back.
std::atomic<long> g_heapBytes{0};

void* operator new(size_t n) {
  void* p = std::malloc(n == 0 ? 1 : n);
  if (p == nullptr) throw std::bad_alloc();
  g_heapBytes += static_cast<long>(malloc_usable_size(p));
  return p;
}
void operator delete(void* p) noexcept {
  if (p != nullptr) g_heapBytes -= static_cast<long>(malloc_usable_size(p));
  std::free(p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace hovra {
namespace {

class OutputQueueTest : public ::testing::Test {
 protected:
  OutputQueueTest() { ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, pair_); }
  ~OutputQueueTest() override {
    for (int fd : pair_)
      if (fd >= 0) ::close(fd);
  }
  std::string ReadSome(size_t most) {
    std::string got(most, '\0');
    ssize_t n = ::read(pair_[1], got.data(), most);
    got.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return got;
  }
  int pair_[2] = {-1, -1};
};

TEST_F(OutputQueueTest, ResumesPartialWritesAndKeepsTheOrder) {
  OutputQueue queue;
  std::string expected;
  for (int i = 0; i < 200; ++i) {
    std::string reply = std::to_string(i) + std::string(static_cast<size_t>(i) * 97 % 70000, 'r');
    queue.Append(reply);
    queue.Append("echo");
    expected += reply + "echo";
  }
  EXPECT_EQ(queue.Bytes(), expected.size());
  std::string got;
  while (!queue.Empty()) {
    const auto result = queue.WriteTo(pair_[0]);
    ASSERT_NE(result, OutputQueue::WriteResult::kFailed);
    got += ReadSome(5000);  // a reader slower than the writer
    EXPECT_EQ(queue.Bytes() + got.size() <= expected.size(), true);
  }
  for (std::string more; !(more = ReadSome(1 << 16)).empty();) got += more;
  EXPECT_EQ(got, expected);
}

TEST_F(OutputQueueTest, AReplyWrittenWholeGivesItsMemoryBackAtOnce) {
  OutputQueue queue;
  const long before = g_heapBytes;
  queue.Append(std::string(50000, 'r'));
  EXPECT_GE(g_heapBytes - before, 50000);
  EXPECT_EQ(queue.WriteTo(pair_[0]), OutputQueue::WriteResult::kAllWritten);
  EXPECT_LT(g_heapBytes - before, 1000) << "kept until a later write";
}

TEST_F(OutputQueueTest, AClosedPeerFailsTheWriteWithoutASignal) {
  OutputQueue queue;
  queue.Append("hello");
  EXPECT_EQ(queue.WriteTo(pair_[0]), OutputQueue::WriteResult::kAllWritten);
  EXPECT_EQ(ReadSome(16), "hello");
  ::close(pair_[1]);
  pair_[1] = -1;
  queue.Append("x");
  EXPECT_EQ(queue.WriteTo(pair_[0]), OutputQueue::WriteResult::kFailed);
  EXPECT_EQ(queue.Bytes(), 1u) << "what was not written stays";
}

TEST_F(OutputQueueTest, AClientPastItsOutputLimitIsEndedAndKeepsNothing) {
  _MouseClnt client(pair_[0]);
  const std::string icon(512 << 10, 'i');  // the largest reply
  for (size_t queued = 0; queued + icon.size() <= kOutputLimitBytes; queued += icon.size())
    client.Reply(icon);
  EXPECT_TRUE(client.OutputBackedUp());
  EXPECT_EQ(client.ending, _MouseClnt::Ending::kNone) << "up to the limit it is kept";
  client.Reply("echo");
  EXPECT_EQ(client.ending, _MouseClnt::Ending::kNow);
  EXPECT_TRUE(client.out.Empty()) << "its replies are dropped, not kept to the end";
  client.Reply("more");
  EXPECT_TRUE(client.out.Empty());
}

}  // namespace
}  // namespace hovra
