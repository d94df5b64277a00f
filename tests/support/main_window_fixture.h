// A fixture for the in-process tests: the tool's real main window, created in
// a fresh, empty current directory (so no click-point file is loaded unless the
// test writes one first), with the globals back at their start values.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/main_window.h"
#include "common/globals.h"
#include "support/process.h"
#include "support/recorder.h"

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    folder = MakeTestFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
    SetCurrentDirectoryA(folder.c_str());
    hotkeyCapture = hotkeySkip = captureRow = runCount = targetWindow = pointX = pointY = 0;
  }

  // Creates the window (hidden, hotkeys registered, table loaded from the
  // current directory); ShowMain() then shows and activates it.
  void CreateMain() {
    window = CreateMainWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(window, nullptr);
  }
  void ShowMain() {
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetForegroundWindow(window);
    SetFocus(编辑框1);
    PumpFor(100);
  }

  void TearDown() override {
    if (window && IsWindow(window)) DestroyWindow(window);
    // Take the quit message DestroyWindow posted, so the next test starts clean.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    SetCurrentDirectoryA(TestExeDirectory().c_str());
  }

  std::string folder;
  HWND window = nullptr;
};
