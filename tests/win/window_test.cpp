// The main window as created in this process: its frame, controls, texts and
// styles, page switching and keyboard navigation.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "app/control_ids.h"
#include "app/main_window.h"
#include "common/globals.h"
#include "support/recorder.h"

namespace {

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    window = CreateMainWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
    // Take the quit message DestroyWindow posted, so the next test starts clean.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  HWND window = nullptr;
};

TEST_F(MainWindowTest, IsCreatedHiddenWithAFixedFrameAndCentred) {
  EXPECT_FALSE(IsWindowVisible(window));
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.right - rect.left, 535);
  EXPECT_EQ(rect.bottom - rect.top, 263);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 535) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 263) / 2);
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

}  // namespace
