// Raises the capture events on the UI thread, one at a time. A frame that
// comes while a handler runs is dropped (the newest frame wins); status
// texts wait in order and are raised after the running handler returns.
// Handlers may delete the context object; nothing is touched after that.
#pragma once

#include <QObject>
#include <deque>
#include <string>
#include <utility>

#include "platform/capture/capture_control.h"

namespace platform::capture {

class EventDispatcher {
 public:
  explicit EventDispatcher(QObject* context) : context_(context) {}
  EventDispatcher(const EventDispatcher&) = delete;
  EventDispatcher& operator=(const EventDispatcher&) = delete;

  void SetSink(CaptureEvents* sink) { sink_ = sink; }
  bool Busy() const { return busy_; }

  // StreamCallback (when stream) then FrameCallback for one frame. Returns
  // false when the frame was dropped or the context died in a handler.
  bool DeliverFrame(const FrameHeader& header, bool stream);

  // Queued; raised from the event loop when no handler runs.
  void PostStatus(int code, std::string text);

 private:
  void ScheduleFlush();
  void FlushStatus();

  QObject* context_;
  CaptureEvents* sink_ = nullptr;
  bool busy_ = false;
  bool flush_scheduled_ = false;
  std::deque<std::pair<int, std::string>> statuses_;
};

}  // namespace platform::capture
