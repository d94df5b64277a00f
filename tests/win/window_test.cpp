// The main window as created in this process: its frame, controls, texts and
// styles, page switching and keyboard navigation.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "app/control_ids.h"
#include "app/main_window.h"
#include "common/globals.h"
#include "support/main_window_fixture.h"
#include "support/recorder.h"

namespace {

using MainWindow = MainWindowTest;

TEST_F(MainWindow, IsCreatedHiddenWithAFixedFrameAndCentred) {
  CreateMain();
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
