#include "platform/window/message_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

#include "platform/window/message_pump.h"

namespace platform::window {
namespace {

struct Call {
  Handle hwnd;
  std::uint32_t msg;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  bool alive;  // IsWindow(hwnd) during the call
  friend bool operator==(const Call&, const Call&) = default;
};

// A window procedure that logs every call and answers msg * 10, or runs a
// hook the test sets for one message.
struct Recorder {
  std::vector<Call> calls;
  std::function<std::intptr_t(Handle, std::uint32_t)> hook;

  std::intptr_t Proc(Handle hwnd, std::uint32_t msg, std::uintptr_t w, std::intptr_t l) {
    calls.push_back({hwnd, msg, w, l, IsWindow(hwnd)});
    if (hook) return hook(hwnd, msg);
    return static_cast<std::intptr_t>(msg) * 10;
  }
  WindowProc AsProc() { return MakeWindowProc<&Recorder::Proc>(this); }
  std::vector<std::uint32_t> Messages() const {
    std::vector<std::uint32_t> out;
    for (const Call& c : calls) out.push_back(c.msg);
    return out;
  }
};

using Messages = std::vector<std::uint32_t>;

TEST(MessageWindowTest, HandlesAreNeverZeroNorReused) {
  std::set<Handle> seen;
  for (int round = 0; round < 3; ++round) {
    std::vector<Handle> live;
    for (int i = 0; i < 50; ++i) {
      Handle h = CreateMessageWindow({});
      EXPECT_NE(h, 0);
      EXPECT_TRUE(seen.insert(h).second) << "handle reused: " << h;
      live.push_back(h);
    }
    for (Handle h : live) EXPECT_TRUE(DestroyWindow(h));
  }
  EXPECT_FALSE(IsWindow(0));
}

TEST(MessageWindowTest, SendRunsTheProcedureAndReturnsItsResult) {
  Recorder rec;
  MessageWindow window(rec.AsProc());
  EXPECT_EQ(SendMessage(window.Hwnd(), 7, 42, -3), 70);
  ASSERT_EQ(rec.calls.size(), 1u);
  EXPECT_EQ(rec.calls[0], (Call{window.Hwnd(), 7, 42, -3, true}));
}

TEST(MessageWindowTest, DeadHandlesAnswerNothing) {
  Recorder rec;
  Handle h = CreateMessageWindow(rec.AsProc());
  ASSERT_TRUE(DestroyWindow(h));
  rec.calls.clear();

  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(SendMessage(h, 7, 0, 0), 0);
  EXPECT_FALSE(PostMessage(h, 7, 0, 0));
  EXPECT_FALSE(GetWindowProc(h));
  EXPECT_FALSE(SetWindowProc(h, rec.AsProc()));
  EXPECT_FALSE(IsWindow(h)) << "setting a procedure must not revive a handle";
  EXPECT_FALSE(DestroyWindow(h));
  PumpMessages();
  EXPECT_TRUE(rec.calls.empty());
}

TEST(MessageWindowTest, DefaultProcedureAnswersZero) {
  MessageWindow window;
  EXPECT_EQ(SendMessage(window.Hwnd(), 7, 1, 1), 0);
  EXPECT_EQ(SetWindowProc(window.Hwnd(), {}).fn, &DefWindowProc);
  EXPECT_EQ(GetWindowProc(window.Hwnd()).fn, &DefWindowProc);
  EXPECT_EQ(CallWindowProc({}, window.Hwnd(), 7, 1, 1), 0);
}

TEST(MessageWindowTest, PostedMessagesRunLaterInPostingOrder) {
  Recorder rec;
  MessageWindow window(rec.AsProc());
  EXPECT_TRUE(PostMessage(window.Hwnd(), 1, 11, 111));
  SendMessage(window.Hwnd(), 2, 0, 0);
  EXPECT_TRUE(PostMessage(window.Hwnd(), 3, 0, 0));
  EXPECT_EQ(rec.Messages(), Messages({2}));

  PumpMessages();
  EXPECT_EQ(rec.Messages(), Messages({2, 1, 3}));
  EXPECT_EQ(rec.calls[1], (Call{window.Hwnd(), 1, 11, 111, true}));
}

TEST(MessageWindowTest, PostToAWindowDestroyedMeanwhileIsDropped) {
  Recorder rec;
  Handle h = CreateMessageWindow(rec.AsProc());
  ASSERT_TRUE(PostMessage(h, 1, 0, 0));
  DestroyWindow(h);
  PumpMessages();
  EXPECT_EQ(rec.Messages(), Messages({kWmNcDestroy}));
}

TEST(MessageWindowTest, NcDestroyArrivesOnceWhileTheHandleStillLives) {
  Recorder rec;
  Handle h = CreateMessageWindow(rec.AsProc());
  rec.hook = [](Handle self, std::uint32_t msg) -> std::intptr_t {
    // Still a window: it can be sent to during its last message.
    if (msg == kWmNcDestroy) {
      EXPECT_EQ(SendMessage(self, 5, 0, 0), 50);
    }
    return msg * 10;
  };
  EXPECT_TRUE(DestroyWindow(h));
  EXPECT_FALSE(IsWindow(h));
  ASSERT_EQ(rec.Messages(), Messages({kWmNcDestroy, 5}));
  EXPECT_TRUE(rec.calls[0].alive);
  EXPECT_TRUE(rec.calls[1].alive);
}

TEST(MessageWindowTest, DestroyFromInsideItsOwnProcedure) {
  Recorder rec;
  Handle h = CreateMessageWindow(rec.AsProc());
  rec.hook = [](Handle self, std::uint32_t msg) -> std::intptr_t {
    if (msg == 9) {
      EXPECT_TRUE(DestroyWindow(self));
      EXPECT_FALSE(DestroyWindow(self));
      EXPECT_FALSE(IsWindow(self));
      return 99;
    }
    if (msg == kWmNcDestroy) {
      EXPECT_FALSE(DestroyWindow(self)) << "already being destroyed";
    }
    return 0;
  };
  EXPECT_EQ(SendMessage(h, 9, 0, 0), 99);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(rec.Messages(), Messages({9, kWmNcDestroy}));
}

TEST(MessageWindowTest, ProcedureMayCreateSendAndPostFromInside) {
  Recorder outer;
  Recorder inner;
  MessageWindow window(outer.AsProc());
  Handle created = 0;
  outer.hook = [&](Handle self, std::uint32_t msg) -> std::intptr_t {
    if (msg != 1) return 0;
    created = CreateMessageWindow(inner.AsProc());
    PostMessage(self, 2, 0, 0);
    return SendMessage(created, 3, 0, 0) + 1;
  };
  EXPECT_EQ(SendMessage(window.Hwnd(), 1, 0, 0), 31);
  EXPECT_EQ(inner.Messages(), Messages({3}));
  PumpMessages();
  EXPECT_EQ(outer.Messages(), Messages({1, 2}));
  DestroyWindow(created);
}

// A subclasser in the usual shape: handles one message itself, passes the
// rest to the procedure it replaced, and puts that one back when it ends.
class Subclasser {
 public:
  static constexpr std::uint32_t kMine = 536;

  void Install(Handle hwnd) {
    hwnd_ = hwnd;
    previous_ = SetWindowProc(hwnd, MakeWindowProc<&Subclasser::Proc>(this));
  }
  void Remove() { SetWindowProc(hwnd_, previous_); }
  WindowProc Previous() const { return previous_; }
  std::vector<std::uint32_t> seen;

 private:
  std::intptr_t Proc(Handle hwnd, std::uint32_t msg, std::uintptr_t w, std::intptr_t l) {
    seen.push_back(msg);
    if (msg == kMine) return 1112363332;
    if (msg == kWmNcDestroy) Remove();
    return CallWindowProc(previous_, hwnd, msg, w, l);
  }

  Handle hwnd_ = 0;
  WindowProc previous_;
};

TEST(MessageWindowTest, ChainsThroughAReplacedProcedureAndRestoresIt) {
  Recorder own;
  MessageWindow window(own.AsProc());
  Subclasser sub;
  sub.Install(window.Hwnd());
  EXPECT_EQ(sub.Previous(), own.AsProc());
  EXPECT_NE(GetWindowProc(window.Hwnd()), own.AsProc());

  EXPECT_EQ(SendMessage(window.Hwnd(), Subclasser::kMine, 0, 0), 1112363332);
  EXPECT_EQ(SendMessage(window.Hwnd(), 4, 0, 0), 40);
  EXPECT_EQ(own.Messages(), Messages({4}));

  sub.Remove();
  EXPECT_EQ(GetWindowProc(window.Hwnd()), own.AsProc());
  EXPECT_EQ(SendMessage(window.Hwnd(), Subclasser::kMine, 0, 0), 5360);
  EXPECT_EQ(sub.seen, Messages({Subclasser::kMine, 4}));
}

TEST(MessageWindowTest, SubclasserUnhooksAtNcDestroyAndTheOwnProcedureStillGetsIt) {
  Recorder own;
  Handle h = CreateMessageWindow(own.AsProc());
  Subclasser sub;
  sub.Install(h);
  DestroyWindow(h);
  EXPECT_EQ(sub.seen, Messages({kWmNcDestroy}));
  EXPECT_EQ(own.Messages(), Messages({kWmNcDestroy}));
}

TEST(MessageWindowTest, ReplacingTheProcedureDuringACallTakesEffectForTheNextMessage) {
  Recorder first;
  Recorder second;
  MessageWindow window(first.AsProc());
  first.hook = [&](Handle self, std::uint32_t) -> std::intptr_t {
    SetWindowProc(self, second.AsProc());
    return 1;
  };
  EXPECT_EQ(SendMessage(window.Hwnd(), 1, 0, 0), 1);
  EXPECT_EQ(SendMessage(window.Hwnd(), 2, 0, 0), 20);
  EXPECT_EQ(first.Messages(), Messages({1}));
  EXPECT_EQ(second.Messages(), Messages({2}));
}

TEST(MessageWindowTest, OwnerDestroysItsWindowAndMovesOwnership) {
  Recorder rec;
  Handle h = 0;
  {
    MessageWindow a(rec.AsProc());
    h = a.Hwnd();
    MessageWindow b(std::move(a));
    EXPECT_EQ(a.Hwnd(), 0);
    EXPECT_EQ(b.Hwnd(), h);
    MessageWindow c;
    Handle replaced = c.Hwnd();
    c = std::move(b);
    EXPECT_FALSE(IsWindow(replaced));
    EXPECT_TRUE(IsWindow(h));
    EXPECT_TRUE(rec.calls.empty());
  }
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(rec.Messages(), Messages({kWmNcDestroy}));
}

}  // namespace
}  // namespace platform::window
