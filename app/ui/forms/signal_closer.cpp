#include "app/ui/forms/signal_closer.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QWidget>

namespace orvantix {

namespace {
// Only an async-signal-safe write may happen in the handler; the descriptor
// is process-wide by nature of signals.
volatile std::sig_atomic_t gSignalFd = -1;

void OnTerminate(int) {
  const char byte = 1;
  if (gSignalFd >= 0) [[maybe_unused]]
    auto n = ::write(gSignalFd, &byte, 1);
}
}  // namespace

SignalCloser::SignalCloser(QWidget& window) : window_(window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds_) != 0) return;
  gSignalFd = fds_[0];
  notifier_ = std::make_unique<QSocketNotifier>(fds_[1], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalCloser::OnSignal);
  struct sigaction action {};
  action.sa_handler = OnTerminate;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, &previousTerm_);
  sigaction(SIGINT, &action, &previousInt_);
}

SignalCloser::~SignalCloser() {
  if (fds_[0] < 0) return;
  sigaction(SIGTERM, &previousTerm_, nullptr);
  sigaction(SIGINT, &previousInt_, nullptr);
  gSignalFd = -1;
  notifier_.reset();
  ::close(fds_[0]);
  ::close(fds_[1]);
}

void SignalCloser::OnSignal() {
  char byte = 0;
  [[maybe_unused]] auto n = ::read(fds_[1], &byte, 1);
  window_.close();
}

}  // namespace orvantix
