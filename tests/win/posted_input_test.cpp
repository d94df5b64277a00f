// Posted key actions and clicks, as a target window receives them: exactly
// the messages of the action, in order, with their wParam and lParam.
#include <gtest/gtest.h>

#include <windows.h>

#include <windowsx.h>

#include <cstdint>
#include <vector>

#include "input/posted_input.h"
#include "support/recorder.h"

namespace {

int32_t HandleValue(HWND window) { return static_cast<int32_t>(reinterpret_cast<intptr_t>(window)); }

struct Expected {
  UINT message;
  WPARAM wParam;
  uint32_t lParam;
};

class PostedInput : public testing::Test {
 protected:
  void SetUp() override {
    // Hidden, so that the real mouse sends it nothing: whatever it records
    // was posted.
    recorder = CreateRecorderWindow(40, 40, 120, 80);
    ASSERT_NE(recorder, nullptr);
    ShowWindow(recorder, SW_HIDE);
    PumpFor(20);
    ClearRecordedMessages(recorder);
  }
  void TearDown() override {
    DestroyWindow(recorder);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // Pumps until count messages have arrived, then a little longer so that an
  // extra message would show too.
  std::vector<RecordedMessage> Receive(size_t count) {
    PumpUntil([&] { return RecordedMessages(recorder).size() >= count; }, 2000);
    PumpFor(30);
    std::vector<RecordedMessage> got = RecordedMessages(recorder);
    ClearRecordedMessages(recorder);
    return got;
  }

  void ExpectMessages(const std::vector<RecordedMessage>& got, const std::vector<Expected>& want) {
    ASSERT_EQ(got.size(), want.size()) << DescribeMessages(got);
    for (size_t i = 0; i < want.size(); ++i) {
      EXPECT_EQ(got[i].message, want[i].message) << "message " << i << "\n" << DescribeMessages(got);
      EXPECT_EQ(got[i].wParam, want[i].wParam) << "message " << i << "\n" << DescribeMessages(got);
      EXPECT_EQ(static_cast<uint32_t>(got[i].lParam), want[i].lParam)
          << "message " << i << "\n" << DescribeMessages(got);
    }
  }

  HWND recorder = nullptr;
};

TEST_F(PostedInput, KeyActionsPostTheirKeyMessagesInOrder) {
  const struct {
    int32_t virtualKey;
    int32_t action;
    std::vector<Expected> messages;
  } cases[] = {
      {39, kKeyDown, {{WM_KEYDOWN, 39, 0}}},
      {39, kKeyUp, {{WM_KEYUP, 39, 0}}},
      {40, kKeyPress, {{WM_KEYDOWN, 40, 0}, {WM_KEYUP, 40, 0}}},
      {'A', kKeyPress, {{WM_KEYDOWN, 'A', 0}, {WM_KEYUP, 'A', 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "key " << c.virtualKey << " action " << c.action);
    PostKeyAction(HandleValue(recorder), c.virtualKey, c.action);
    ExpectMessages(Receive(c.messages.size()), c.messages);
  }
}

TEST_F(PostedInput, UnknownKeyActionPostsNothing) {
  for (int32_t action : {0, 1, 2, 6, -3, 0x7FFFFFFF}) {
    SCOPED_TRACE(testing::Message() << "action " << action);
    PostKeyAction(HandleValue(recorder), 39, action);
    // A key-up posted after it arrives after anything the first call posted.
    PostKeyAction(HandleValue(recorder), 40, kKeyUp);
    ExpectMessages(Receive(1), {{WM_KEYUP, 40, 0}});
  }
}

TEST_F(PostedInput, ConsecutiveActionsArriveInTheOrderOfPosting) {
  PostKeyAction(HandleValue(recorder), 39, kKeyDown);
  PostMouseAction(HandleValue(recorder), 1, 2);
  PostKeyAction(HandleValue(recorder), 39, kKeyUp);
  PostKeyAction(HandleValue(recorder), 40, kKeyPress);
  ExpectMessages(Receive(7), {{WM_KEYDOWN, 39, 0},
                              {WM_MOUSEMOVE, 2, 0x00020001u},
                              {WM_LBUTTONDOWN, MK_LBUTTON, 0x00020001u},
                              {WM_LBUTTONUP, 0, 0x00020001u},
                              {WM_KEYUP, 39, 0},
                              {WM_KEYDOWN, 40, 0},
                              {WM_KEYUP, 40, 0}});
}

TEST_F(PostedInput, KeyActionForWindowZeroGoesToNoWindow) {
  // A null handle is passed on as it is: the messages become thread messages
  // of the poster, not messages of the desktop window.
  PostKeyAction(0, 39, kKeyDown);
  MSG message = {};
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  EXPECT_EQ(message.hwnd, nullptr);
  EXPECT_EQ(message.wParam, 39u);
  EXPECT_EQ(message.lParam, 0);
}

TEST_F(PostedInput, ClickPostsMoveDownUpWithThePointPacked) {
  const struct {
    int32_t x;
    int32_t y;
    uint32_t lParam;
  } cases[] = {
      {100, 200, 13107300},
      {65535, 0, 65535},
      {-5, 10, 0x000AFFFBu},
      {0, -1, 0xFFFF0000u},
      {-1, -1, 0xFFFFFFFFu},
      {0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "point " << c.x << "," << c.y);
    PostMouseAction(HandleValue(recorder), c.x, c.y);
    const std::vector<RecordedMessage> got = Receive(3);
    ExpectMessages(got, {{WM_MOUSEMOVE, 2, c.lParam},
                         {WM_LBUTTONDOWN, MK_LBUTTON, c.lParam},
                         {WM_LBUTTONUP, 0, c.lParam}});
    if (got.size() == 3 && c.x >= -32768 && c.x <= 32767 && c.y >= -32768 && c.y <= 32767) {
      // The target reads the point back as it was given.
      EXPECT_EQ(GET_X_LPARAM(got[1].lParam), c.x);
      EXPECT_EQ(GET_Y_LPARAM(got[1].lParam), c.y);
    }
  }
}

TEST_F(PostedInput, ClickForWindowZeroIsNotPostedToTheThread) {
  // A click without a window goes to the desktop window, never as thread
  // messages of the poster.
  PostMouseAction(0, 100, 200);
  MSG message = {};
  EXPECT_FALSE(PeekMessageA(&message, reinterpret_cast<HWND>(-1), WM_MOUSEFIRST, WM_MOUSELAST,
                            PM_REMOVE))
      << "message " << message.message;
}

}  // namespace
