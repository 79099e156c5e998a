#include "server/hovra_svr_sock.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/log.h"
#include "base/printable.h"
#include "input/tick_source.h"
#include "input/wheel.h"
#include "server/framing.h"
#include "server/reports.h"
#include "server/socket_setup.h"
#include "server/system_version.h"
#include "server/time_tick.h"

namespace hovra {
namespace {

constexpr size_t kWorkerStackBytes = 0x40000;
constexpr long kAcceptPauseMs = 250;  // while descriptors are exhausted
constexpr long kStallCheckMs = 500;   // how often clients whose input waits are looked at
constexpr std::chrono::milliseconds kCapEpisodeQuiet = 60s;  // connections refused, logged once
// Connections closed for want of the PIN: a few lines at once, then one a second.
constexpr double kOverdueLinesPerSecond = 1;
constexpr double kOverdueLineBurst = 5;

std::unique_ptr<Poller> ChoosePoller(const std::string& name) {
  std::unique_ptr<Poller> poller = MakePoller(name);
  if (poller) return poller;
  Log("event backend \"%s\" is not available here; using poll", name.c_str());
  return MakePollPoller();
}

}  // namespace

CHovraSvrSock::CHovraSvrSock(const std::string& /*addr*/, unsigned short port,
                             ServerOptions options)
    : hooks_(std::move(options.hooks)),
      loop_(std::make_unique<EventLoop>(ChoosePoller(options.poller))),
      pinGuard_(options.guesses, std::move(options.guessClock), hooks_.verifyPassword),
      limits_(options.connections),
      allFullEpisode_(kCapEpisodeQuiet),
      sourceFullEpisode_(kCapEpisodeQuiet),
      overdueLines_(kOverdueLinesPerSecond, kOverdueLineBurst) {
  ResetTimeTickOrigin();
  SetTickSource(&GetTimeTick);  // click counting runs on the server's clock
  tcpSock = OpenListener(port);
  listeningPort_ = LocalPort(tcpSock);
  discovery = std::make_unique<Discovery>(std::move(options.discovery));

  // Everything registers itself; the loop knows nothing of what it serves.
  if (tcpSock != -1) loop_->Watch(tcpSock, kReadable, [this](int, unsigned) { AcceptNewConn(); });
  discovery->Register(*loop_);
  loop_->Watch(mailbox_.ReadEnd(), kReadable, [this](int, unsigned) { mailbox_.RunPosted(); });
  loop_->SetBeforeWait([this] { return BeforeWait(); });
  WatchProtection();
  isRunning = 1;

  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, kWorkerStackBytes);
  threadCreated = pthread_create(&thread, &attr, &CHovraSvrSock::SvrThreadProc, this) == 0;
  pthread_attr_destroy(&attr);
  if (!threadCreated) Log("cannot start the server's worker thread");
}

CHovraSvrSock::~CHovraSvrSock() { Stop(); }

void CHovraSvrSock::setStop() {
  isRunning = 0;
  mailbox_.Wake();
}

void CHovraSvrSock::Stop() {
  setStop();
  if (threadCreated) {
    pthread_join(thread, nullptr);
    threadCreated = false;
  }
  ShutDown();  // done by the worker already, unless it never ran
}

void CHovraSvrSock::SendCurrentApplication(const char* bundleId) {
  mailbox_.Post([this, text = CurrentAppReport(bundleId), shown = Printable(bundleId)] {
    for (auto& [sock, client] : clients) {
      if (!client->reportApp || client->ending != _MouseClnt::Ending::kNone) continue;
      Log("sending: currentapp %s", shown.c_str());
      client->Reply(text);
      AfterSlice(*client, 0);
    }
  });
}

void* CHovraSvrSock::SvrThreadProc(void* self) {
  static_cast<CHovraSvrSock*>(self)->ThreadProcImpl();
  return nullptr;
}

void CHovraSvrSock::ThreadProcImpl() {
  GetSystemVersion();
  while (isRunning != 0) loop_->RunOnePass();
  ShutDown();
}

// The boundary between two passes: clients whose time ran out get their next slice, and
// clients that are to end are closed. Returns whether work is left for the next pass.
bool CHovraSvrSock::BeforeWait() {
  ServeBacklog();
  CloseMarked();
  return !backlog_.empty();
}

void CHovraSvrSock::AcceptNewConn() {
  auto client = std::make_unique<_MouseClnt>(-1, &hooks_, &pinGuard_);
  const int sock = AcceptClient(tcpSock, client->peer);
  if (sock < 0) {
    static LogOnce shortage;
    if (IsDescriptorShortage(errno)) {
      if (shortage.First())
        Log("cannot accept a client: %s; pausing new connections", std::strerror(errno));
      PauseAccepting();
    }
    return;
  }
  client->sock = sock;
  client->serial = ++nextSerial_;
  client->peerAddress = security::IpAddress::FromSockaddr(
      reinterpret_cast<const sockaddr*>(&client->peer), sizeof client->peer);
  const bool protectedNow = hooks_.isPasswordProtection && hooks_.isPasswordProtection();
  NoteProtection(protectedNow);  // turned on just now: the unverified ones go first
  client->mustVerify = protectedNow;
  if (!Admit(*client)) {
    ::close(sock);
    return;
  }
  char greeting[128] = {};
  int n = std::snprintf(greeting, sizeof greeting, "system mac %s\n", SystemVersionText().c_str());
  client->Reply(std::string_view(greeting, static_cast<size_t>(n)));
  if (client->mustVerify) client->Reply("needpassword\n");
  TrackUnverified(*client);

  _MouseClnt& c = *client;
  clients[sock] = std::move(client);
  TableChanged();
  loop_->Watch(sock, kReadable, [this](int fd, unsigned ready) { OnClientEvent(fd, ready); });
  Flush(c);
}

// The listener stays readable while a connection waits in its queue, so without a free
// descriptor accepting pauses briefly rather than turning the loop into a spin.
void CHovraSvrSock::PauseAccepting() {
  if (acceptPaused_ || tcpSock == -1) return;
  acceptPaused_ = true;
  loop_->Unwatch(tcpSock, kReadable);
  acceptResume_ = loop_->AddTimer(kAcceptPauseMs, [this] {
    acceptResume_ = 0;
    ResumeAccepting();
    return EventLoop::kTimerDone;
  });
}

void CHovraSvrSock::ResumeAccepting() {
  if (!acceptPaused_) return;
  acceptPaused_ = false;
  if (acceptResume_ != 0) loop_->DeleteTimer(acceptResume_);
  acceptResume_ = 0;
  if (tcpSock != -1) loop_->Watch(tcpSock, kReadable, [this](int, unsigned) { AcceptNewConn(); });
}

void CHovraSvrSock::OnClientEvent(int fd, unsigned ready) {
  auto found = clients.find(fd);
  if (found == clients.end()) return;
  _MouseClnt& c = *found->second;
  if (ready & kWritable) Flush(c);
  if ((ready & kReadable) && c.ending == _MouseClnt::Ending::kNone && !c.inputPaused) {
    SliceBudget budget = SliceBudget::OnePass();
    AfterSlice(c, RecvClntData(c, budget));
  }
}

void CHovraSvrSock::AfterSlice(_MouseClnt& c, int result) {
  if (c.countedUnverified && !c.mustVerify) ForgetUnverified(c);  // it gave the PIN
  if (result < 0) c.EndConnection(_MouseClnt::Ending::kAfterReply);
  if (c.ending != _MouseClnt::Ending::kNone) {
    MarkClosing(c);
    return;
  }
  Flush(c);
  if (c.ending != _MouseClnt::Ending::kNone || c.inputPaused) return;
  if (!c.out.Empty()) {
    // Its socket takes no more of its replies: its requests wait too (read no further,
    // so that TCP slows its sending) until it has taken them.
    c.inputPaused = true;
    c.lastOutputTaken = std::chrono::steady_clock::now();
    loop_->Unwatch(c.sock, kReadable);
    std::erase(backlog_, c.sock);
    WatchStalls();
    return;
  }
  ResumeInput(c);
}

// Handles the client's input again: what is buffered at the next pass, then its socket.
void CHovraSvrSock::ResumeInput(_MouseClnt& c) {
  c.inputPaused = false;
  if (c.inputBacklog) {
    // No reading while handled input waits: the client's own sending slows down instead.
    loop_->Unwatch(c.sock, kReadable);
    if (std::find(backlog_.begin(), backlog_.end(), c.sock) == backlog_.end())
      backlog_.push_back(c.sock);
  } else {
    c.recvBuf.ReleaseIfEmpty();
    loop_->Watch(c.sock, kReadable);
  }
}

// While some client's input waits for its replies to be taken, a timer looks for the
// ones that take nothing at all.
void CHovraSvrSock::WatchStalls() {
  if (stallTimer_ != 0) return;
  stallTimer_ = loop_->AddTimer(kStallCheckMs, [this] {
    bool anyPaused = false;
    const auto now = std::chrono::steady_clock::now();
    for (auto& [sock, client] : clients) {
      if (!client->inputPaused || client->ending != _MouseClnt::Ending::kNone) continue;
      if (now - client->lastOutputTaken < kStalledOutput) {
        anyPaused = true;
        continue;
      }
      Log("client %d has taken none of its replies for %lld s (%zu bytes wait); closing it", sock,
          static_cast<long long>(kStalledOutput.count()), client->out.Bytes());
      client->out.Clear();
      client->EndConnection(_MouseClnt::Ending::kNow);
      MarkClosing(*client);
    }
    if (anyPaused) return kStallCheckMs;
    stallTimer_ = 0;
    return EventLoop::kTimerDone;
  });
}

void CHovraSvrSock::ServeBacklog() {
  if (backlog_.empty()) return;
  std::vector<int> waiting;
  waiting.swap(backlog_);
  std::sort(waiting.begin(), waiting.end());
  for (int sock : waiting) {
    auto found = clients.find(sock);
    if (found == clients.end()) continue;
    _MouseClnt& c = *found->second;
    if (c.ending != _MouseClnt::Ending::kNone || c.inputPaused) continue;
    SliceBudget budget = SliceBudget::OnePass();
    const int result = HandleClntMsg(c, budget);
    CommitMouseWheel();
    AfterSlice(c, result);
  }
}

// Writes what the socket takes now; the rest when it says it is writable again.
void CHovraSvrSock::Flush(_MouseClnt& c) {
  if (c.ending == _MouseClnt::Ending::kNow) return MarkClosing(c);
  if (c.out.Empty()) {
    loop_->Unwatch(c.sock, kWritable);
  } else {
    switch (c.WriteOut()) {
      case OutputQueue::WriteResult::kAllWritten:
        loop_->Unwatch(c.sock, kWritable);
        break;
      case OutputQueue::WriteResult::kMoreLeft:
        loop_->Watch(c.sock, kWritable);
        break;
      case OutputQueue::WriteResult::kFailed:
        c.out.Clear();
        c.EndConnection(_MouseClnt::Ending::kNow);
        return MarkClosing(c);
    }
  }
  if (c.inputPaused && c.out.Empty()) ResumeInput(c);
}

void CHovraSvrSock::MarkClosing(_MouseClnt& c) {
  loop_->Unwatch(c.sock, kReadable | kWritable);
  if (std::find(closing_.begin(), closing_.end(), c.sock) == closing_.end())
    closing_.push_back(c.sock);
}

void CHovraSvrSock::CloseMarked() {
  std::vector<int> ending;
  ending.swap(closing_);
  for (int sock : ending) RemoveClient(sock);
}

void CHovraSvrSock::RemoveClient(int sock) {
  auto found = clients.find(sock);
  if (found == clients.end()) return;
  _MouseClnt& c = *found->second;
  ForgetUnverified(c);
  c.held.ReleaseAll();  // nothing the client held stays down
  if (c.ending == _MouseClnt::Ending::kNow) {
    // Given up on: what the kernel still holds for it is dropped with a reset, rather
    // than trickling out to a client that does not read.
    linger reset{1, 0};
    ::setsockopt(sock, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  } else {
    c.WriteOut();  // a last answer ("verifypassword failed") goes out if it can
  }
  loop_->Unwatch(sock, kReadable | kWritable);
  ::close(sock);
  clients.erase(found);
  TableChanged();
  std::erase(backlog_, sock);
  ResumeAccepting();  // a descriptor is free again
}

// No new connections, then every client lets go of what it holds and is closed.
void CHovraSvrSock::ShutDown() {
  if (tcpSock != -1) {
    loop_->Unwatch(tcpSock, kReadable);
    ::close(tcpSock);
    tcpSock = -1;
  }
  acceptPaused_ = false;
  for (EventLoop::TimerId* timer :
       {&acceptResume_, &stallTimer_, &deadlineTimer_, &protectionTimer_}) {
    if (*timer != 0) loop_->DeleteTimer(*timer);
    *timer = 0;
  }
  if (discovery && discovery->Socket() != -1) loop_->Unwatch(discovery->Socket(), kReadable);
  discovery.reset();
  for (auto& [sock, client] : clients) {
    client->held.ReleaseAll();
    loop_->Unwatch(sock, kReadable | kWritable);
    ::close(sock);
  }
  clients.clear();
  TableChanged();
  unverified_ = UnverifiedCounts();
  unverifiedDeadlines_.clear();
  backlog_.clear();
  closing_.clear();
}

}  // namespace hovra
