#include "common/SignalGuard.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace corvane {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
// The guard's pipe, for the handler, which can reach nothing else.
std::atomic<int> g_signal_pipe{-1};

extern "C" void WriteSignal(int signal) {
  const int saved = errno;
  const int fd = g_signal_pipe.load();
  const auto number = static_cast<unsigned char>(signal);
  if (fd >= 0) (void)!::write(fd, &number, 1);
  errno = saved;
}

}  // namespace

SignalGuard::SignalGuard(IWaiting& waiting) : waiting_(waiting) {
  // Non-blocking writes: a handler never waits, even on a pipe filled by a storm of signals.
  if (::pipe2(pipe_, O_CLOEXEC) == 0) ::fcntl(pipe_[1], F_SETFL, O_NONBLOCK);
  g_signal_pipe = pipe_[1];
  thread_ = std::thread([this] { Serve(); });
  struct sigaction action = {};
  action.sa_handler = WriteSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // reads of the terminal (an overwrite question) go on
  for (size_t i = 0; i < std::size(kStopSignals); ++i) ::sigaction(kStopSignals[i], &action, &previous_[i]);
}

SignalGuard::~SignalGuard() {
  for (size_t i = 0; i < std::size(kStopSignals); ++i) ::sigaction(kStopSignals[i], &previous_[i], nullptr);
  g_signal_pipe = -1;
  if (pipe_[1] >= 0) ::close(pipe_[1]);  // the thread reads the pipe's end
  thread_.join();
  if (pipe_[0] >= 0) ::close(pipe_[0]);
}

void SignalGuard::Serve() {
  for (;;) {
    unsigned char number = 0;
    const ssize_t got = ::read(pipe_[0], &number, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;
    signal_ = number;
    stop_.request_stop();
    waiting_.Wake();
  }
}

}  // namespace corvane
