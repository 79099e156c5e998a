// The server's guards on connections: the caps on how many are kept, the time a
// connection may stay without the PIN, and closing the unverified ones when protection is
// turned on while they are connected. Worker thread only.
#include <string>

#include "base/log.h"
#include "server/hovra_svr_sock.h"

namespace hovra {
namespace {

long Milliseconds(std::chrono::steady_clock::duration d) {
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(d).count();
  return ms < 0 ? 0 : static_cast<long>(ms);
}

std::string AddressText(const _MouseClnt& c) {
  return c.peerAddress ? c.peerAddress->Text() : std::string("a local socket");
}

}  // namespace

// Whether a new connection may stay; refusals are logged once per episode of them.
bool CHovraSvrSock::Admit(_MouseClnt& c) {
  if (clients.size() >= limits_.mostConnections) {
    if (allFullEpisode_.Note()) {
      Log("%zu connections are open, the most kept; new ones are closed at once (logged once "
          "per episode)",
          clients.size());
    }
    return false;
  }
  if (!c.mustVerify) return true;
  const security::SourceKey source =
      security::SourceKeyOf(c.peerAddress.value_or(security::IpAddress{}));
  if (unverified_.Of(source) >= limits_.mostUnverifiedPerSource) {
    if (sourceFullEpisode_.Note()) {
      Log("%s holds %zu connections that have not given the PIN, the most kept from one "
          "address; its new ones are closed at once (logged once per episode)",
          source.Text().c_str(), unverified_.Of(source));
    }
    return false;
  }
  return true;
}

// A connection that owes the PIN is counted against its source and given its deadline.
void CHovraSvrSock::TrackUnverified(_MouseClnt& c) {
  if (!c.mustVerify || c.countedUnverified) return;
  unverified_.Add(security::SourceKeyOf(c.peerAddress.value_or(security::IpAddress{})));
  c.countedUnverified = true;
  unverifiedDeadlines_.push_back(
      {std::chrono::steady_clock::now() + limits_.unverifiedLimit, c.sock, c.serial});
  if (deadlineTimer_ != 0) return;
  deadlineTimer_ = loop_->AddTimer(
      Milliseconds(unverifiedDeadlines_.front().due - std::chrono::steady_clock::now()),
      [this] { return CloseOverdue(); });
}

void CHovraSvrSock::ForgetUnverified(_MouseClnt& c) {
  if (!c.countedUnverified) return;
  unverified_.Remove(security::SourceKeyOf(c.peerAddress.value_or(security::IpAddress{})));
  c.countedUnverified = false;  // its deadline is passed over when it comes
}

// Closes the connections whose time to give the PIN is up; returns when to look again.
long CHovraSvrSock::CloseOverdue() {
  const auto now = std::chrono::steady_clock::now();
  while (!unverifiedDeadlines_.empty() && unverifiedDeadlines_.front().due <= now) {
    const Deadline due = unverifiedDeadlines_.front();
    unverifiedDeadlines_.pop_front();
    auto found = clients.find(due.sock);
    if (found == clients.end() || found->second->serial != due.serial) continue;
    _MouseClnt& c = *found->second;
    if (!c.mustVerify || c.ending != _MouseClnt::Ending::kNone) continue;
    uint64_t held = 0;
    if (overdueLines_.Allow(held)) {
      const std::string skipped =
          held > 0 ? " (" + std::to_string(held) + " more closed so, not logged)" : "";
      Log("client %d (%s) gave no PIN within %lld ms; closing it%s", c.sock, AddressText(c).c_str(),
          static_cast<long long>(limits_.unverifiedLimit.count()), skipped.c_str());
    }
    c.EndConnection(_MouseClnt::Ending::kAfterReply);
    MarkClosing(c);
  }
  if (unverifiedDeadlines_.empty()) {
    deadlineTimer_ = 0;
    return EventLoop::kTimerDone;
  }
  return std::max(1L, Milliseconds(unverifiedDeadlines_.front().due - now));
}

// Protection may be turned on by another process (the shell's "password on") or by the
// menu; the settings are looked at now and then so that it reaches those connected.
void CHovraSvrSock::WatchProtection() {
  if (!hooks_.isPasswordProtection) return;
  protectionSeen_ = hooks_.isPasswordProtection();
  const long every = std::max(1L, static_cast<long>(limits_.protectionPoll.count()));
  protectionTimer_ = loop_->AddTimer(every, [this, every] {
    NoteProtection(hooks_.isPasswordProtection());
    return every;
  });
}

void CHovraSvrSock::NoteProtection(bool on) {
  const bool turnedOn = on && !protectionSeen_;
  protectionSeen_ = on;
  if (turnedOn) CloseUnverified();
}

// Everyone who has not given the PIN reconnects into the check.
void CHovraSvrSock::CloseUnverified() {
  size_t closed = 0;
  for (auto& [sock, client] : clients) {
    if (client->verified || client->ending != _MouseClnt::Ending::kNone) continue;
    client->EndConnection(_MouseClnt::Ending::kAfterReply);
    MarkClosing(*client);
    ++closed;
  }
  Log("password protection was turned on: closing %zu connected clients that have not given the "
      "PIN; they are asked for it when they reconnect",
      closed);
}

}  // namespace hovra
