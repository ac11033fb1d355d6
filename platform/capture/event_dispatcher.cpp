#include "platform/capture/event_dispatcher.h"

#include <QMetaObject>
#include <QPointer>

namespace platform::capture {
namespace {

// Marks a handler as running; clears the mark when it returns or throws,
// unless the handler destroyed the context (and with it the flag).
class HandlerScope {
 public:
  HandlerScope(bool& busy, QObject* context) : busy_(busy), alive_(context) { busy_ = true; }
  ~HandlerScope() {
    if (alive_) busy_ = false;
  }
  HandlerScope(const HandlerScope&) = delete;
  HandlerScope& operator=(const HandlerScope&) = delete;
  bool alive() const { return !alive_.isNull(); }

 private:
  bool& busy_;
  QPointer<QObject> alive_;
};

}  // namespace

bool EventDispatcher::DeliverFrame(const FrameHeader& header, bool stream) {
  if (busy_ || !sink_) return false;
  {
    HandlerScope scope(busy_, context_);
    if (stream) {
      sink_->StreamCallback(header);
      if (!scope.alive()) return false;
    }
    if (sink_) sink_->FrameCallback(header);
    if (!scope.alive()) return false;
  }
  if (!statuses_.empty()) ScheduleFlush();
  return true;
}

void EventDispatcher::PostStatus(int code, std::string text) {
  statuses_.emplace_back(code, std::move(text));
  if (!busy_) ScheduleFlush();
}

void EventDispatcher::ScheduleFlush() {
  if (flush_scheduled_) return;
  flush_scheduled_ = true;
  QMetaObject::invokeMethod(
      context_, [this] { FlushStatus(); }, Qt::QueuedConnection);
}

void EventDispatcher::FlushStatus() {
  flush_scheduled_ = false;
  if (busy_) return;  // scheduled again when the running handler returns
  while (!statuses_.empty() && sink_) {
    auto [code, text] = std::move(statuses_.front());
    statuses_.pop_front();
    HandlerScope scope(busy_, context_);
    sink_->StatusCallback(code, text);
    if (!scope.alive()) return;
  }
  statuses_.clear();
}

}  // namespace platform::capture
