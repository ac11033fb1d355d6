#include "platform/capture/event_dispatcher.h"

#include <gtest/gtest.h>

#include <QObject>
#include <memory>

#include "capture_test_support.h"

namespace platform::capture {
namespace {

using capture_test::EventRecorder;
using capture_test::RunFor;
using namespace std::chrono_literals;

TEST(EventDispatcherTest, FrameDuringAHandlerIsDroppedNotNested) {
  QObject context;
  EventDispatcher dispatcher(&context);
  EventRecorder recorder;
  dispatcher.SetSink(&recorder);
  int nested_results = 0;
  recorder.on_frame = [&](const FrameHeader& header, bool) {
    if (!dispatcher.DeliverFrame(header, true)) ++nested_results;
  };
  FrameHeader header;
  EXPECT_TRUE(dispatcher.DeliverFrame(header, true));
  EXPECT_EQ(recorder.Count(true), 1);
  EXPECT_EQ(recorder.Count(false), 1);
  EXPECT_EQ(nested_results, 2);
  EXPECT_EQ(recorder.max_depth, 1);
  EXPECT_FALSE(dispatcher.Busy());
}

TEST(EventDispatcherTest, StatusWaitsForTheRunningHandler) {
  QObject context;
  EventDispatcher dispatcher(&context);
  EventRecorder recorder;
  dispatcher.SetSink(&recorder);
  recorder.on_frame = [&](const FrameHeader&, bool) {
    dispatcher.PostStatus(1, "first");
    dispatcher.PostStatus(2, "second");
    RunFor(20ms);  // the handler lets pending events run
    EXPECT_TRUE(recorder.statuses.empty());
  };
  dispatcher.DeliverFrame(FrameHeader{}, false);
  RunFor(20ms);
  ASSERT_EQ(recorder.statuses.size(), 2u);
  EXPECT_EQ(recorder.statuses[0], (std::pair<int, std::string>{1, "first"}));
  EXPECT_EQ(recorder.statuses[1], (std::pair<int, std::string>{2, "second"}));
  EXPECT_EQ(recorder.max_depth, 1);
}

TEST(EventDispatcherTest, AHandlerMayDestroyTheControl) {
  auto context = std::make_unique<QObject>();
  auto dispatcher = std::make_unique<EventDispatcher>(context.get());
  EventRecorder recorder;
  dispatcher->SetSink(&recorder);
  recorder.on_frame = [&](const FrameHeader&, bool) {
    dispatcher.reset();
    context.reset();
  };
  FrameHeader header;
  EXPECT_FALSE(dispatcher->DeliverFrame(header, true));
  EXPECT_EQ(recorder.frames.size(), 1u);
}

TEST(EventDispatcherTest, AThrowingHandlerDoesNotBlockLaterEvents) {
  QObject context;
  EventDispatcher dispatcher(&context);
  EventRecorder recorder;
  dispatcher.SetSink(&recorder);
  recorder.on_frame = [](const FrameHeader&, bool) { throw std::runtime_error("handler failed"); };
  EXPECT_THROW(dispatcher.DeliverFrame(FrameHeader{}, false), std::runtime_error);
  recorder.on_frame = nullptr;
  recorder.depth = 0;
  EXPECT_TRUE(dispatcher.DeliverFrame(FrameHeader{}, false));
}

}  // namespace
}  // namespace platform::capture
