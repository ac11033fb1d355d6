// Turns SIGTERM and SIGINT into a normal close of a window, so a watch
// started by a service manager ends through its usual unload.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <csignal>
#include <memory>

class QWidget;

namespace orvantix {

class SignalCloser final : public QObject {
  Q_OBJECT

 public:
  explicit SignalCloser(QWidget& window);
  ~SignalCloser() override;

 private:
  void OnSignal();

  QWidget& window_;
  int fds_[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
  struct sigaction previousTerm_ {};
  struct sigaction previousInt_ {};
};

}  // namespace orvantix
