#include "platform/macos/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

extern char** environ;

namespace hovra::platform::macos {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Polling slice while the child runs: how late its exit is noticed when something it left
// behind keeps standard error open.
constexpr milliseconds kExitPollSlice{20};

struct Pipe {
  int read = -1;
  int write = -1;
};

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

bool MakePipe(Pipe& p) {
  int fds[2];
#ifdef __linux__
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;
#else
  if (::pipe(fds) != 0) return false;
  ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
  ::fcntl(fds[1], F_SETFD, FD_CLOEXEC);
#endif
  p = Pipe{fds[0], fds[1]};
  return true;
}

void SetNonBlocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK); }

// Writing to a child that has gone raises SIGPIPE; it is held back on this thread and
// taken away again, so the program's own handling of SIGPIPE does not matter.
class SigpipeHeld {
 public:
  SigpipeHeld() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
  }
  ~SigpipeHeld() {
    sigset_t pending;
    sigpending(&pending);
    if (!wasPending_ && sigismember(&pending, SIGPIPE) == 1) {
      int taken = 0;
      sigwait(&pipe_, &taken);
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }

 private:
  sigset_t pipe_;
  sigset_t old_;
  bool wasPending_ = false;
};

int Spawn(const std::string& program, const std::vector<std::string>& arguments, int stdinFd,
          int stderrFd, pid_t& pid) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, stderrFd, STDERR_FILENO);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  short flags = POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
#ifdef POSIX_SPAWN_CLOEXEC_DEFAULT
  flags |= POSIX_SPAWN_CLOEXEC_DEFAULT;  // no descriptor of the server reaches the child
#endif
  posix_spawnattr_setflags(&attributes, flags);
  posix_spawnattr_setpgroup(&attributes, 0);  // its own group: a timeout kills it whole
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD}) {
    sigaddset(&defaults, signal);
  }
  posix_spawnattr_setsigdefault(&attributes, &defaults);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int rc = posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return rc;
}

// Feeds standard input and keeps the start of standard error while the child runs.
class Conversation {
 public:
  Conversation(Pipe& in, Pipe& err, std::string_view input) : in_(in), err_(err), input_(input) {
    if (input_.empty()) CloseFd(in_.write);
  }

  bool Open() const { return in_.write >= 0 || err_.read >= 0; }

  void Step(milliseconds slice) {
    pollfd fds[2];
    nfds_t count = 0;
    if (in_.write >= 0) fds[count++] = pollfd{in_.write, POLLOUT, 0};
    if (err_.read >= 0) fds[count++] = pollfd{err_.read, POLLIN, 0};
    if (::poll(fds, count, static_cast<int>(slice.count())) <= 0) return;
    for (nfds_t i = 0; i < count; ++i) {
      if (fds[i].revents == 0) continue;
      if (fds[i].fd == in_.write)
        WriteSome();
      else
        ReadSome();
    }
  }

  void ReadSome() {
    char buffer[1024];
    ssize_t n = ::read(err_.read, buffer, sizeof buffer);
    if (n > 0) {
      size_t keep = std::min(static_cast<size_t>(n), kChildErrorBytes - errorText.size());
      errorText.append(buffer, keep);
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
      CloseFd(err_.read);
    }
  }

  std::string errorText;

 private:
  void WriteSome() {
    ssize_t n = ::write(in_.write, input_.data() + written_, input_.size() - written_);
    if (n > 0) written_ += static_cast<size_t>(n);
    bool failed = n < 0 && errno != EAGAIN && errno != EINTR;  // EPIPE: it stopped reading
    if (failed || written_ == input_.size()) CloseFd(in_.write);
  }

  Pipe& in_;
  Pipe& err_;
  std::string_view input_;
  size_t written_ = 0;
};

bool Reaped(pid_t pid, int& status) {
  pid_t r;
  do {
    r = ::waitpid(pid, &status, WNOHANG);
  } while (r < 0 && errno == EINTR);
  return r == pid || (r < 0 && errno == ECHILD);
}

}  // namespace

ChildOutcome RunWithInput(const std::string& program, const std::vector<std::string>& arguments,
                          std::string_view input, milliseconds timeout) {
  ChildOutcome outcome;
  Pipe in, err;
  if (!MakePipe(in)) return ChildOutcome{ChildOutcome::kNotStarted, errno, {}};
  if (!MakePipe(err)) {
    outcome.code = errno;
    CloseFd(in.read);
    CloseFd(in.write);
    return outcome;
  }
  pid_t pid = -1;
  int rc = Spawn(program, arguments, in.read, err.write, pid);
  CloseFd(in.read);
  CloseFd(err.write);
  if (rc != 0) {
    CloseFd(in.write);
    CloseFd(err.read);
    outcome.code = rc;
    return outcome;
  }
  SetNonBlocking(in.write);
  SetNonBlocking(err.read);

  const Clock::time_point deadline = Clock::now() + timeout;
  SigpipeHeld sigpipe;
  Conversation talk(in, err, input);
  int status = 0;
  bool exited = false;
  milliseconds idle{1};
  while (!exited) {
    auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) break;
    if (talk.Open()) {
      talk.Step(std::min(left, kExitPollSlice));
      if (in.write >= 0) continue;  // still feeding it: it cannot have finished reading
    } else {
      ::poll(nullptr, 0, static_cast<int>(std::min({left, idle, kExitPollSlice}).count()));
      idle *= 2;
    }
    exited = Reaped(pid, status);
  }
  if (!exited) {
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.kind = ChildOutcome::kTimedOut;
  } else if (WIFSIGNALED(status)) {
    outcome.kind = ChildOutcome::kSignalled;
    outcome.code = WTERMSIG(status);
  } else {
    outcome.kind = ChildOutcome::kExited;
    outcome.code = WEXITSTATUS(status);
  }
  if (err.read >= 0) talk.ReadSome();  // what it wrote just before it ended
  CloseFd(in.write);
  CloseFd(err.read);
  outcome.errorText = std::move(talk.errorText);
  return outcome;
}

}  // namespace hovra::platform::macos
