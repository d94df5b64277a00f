// Posting of key and mouse messages. PostMessageA and GetDesktopWindow are
// bound by name at their first use; a refused post passes silently.
#include "input/posted_input.h"

#include <windows.h>

#include "input/mouse_lparam.h"

namespace {

using PostMessageFunction = BOOL(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
using GetDesktopWindowFunction = HWND(WINAPI*)();

constexpr WPARAM kMouseMoveWParam = 2;  // what the target expects with the move, not MK_LBUTTON

// Handles travel as signed 32-bit values; 64-bit Windows keeps them in 32 bits.
HWND ToWindow(int32_t handle) { return reinterpret_cast<HWND>(static_cast<intptr_t>(handle)); }

void* User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (!user32) user32 = LoadLibraryA("user32.dll");
  return user32 ? reinterpret_cast<void*>(GetProcAddress(user32, name)) : nullptr;
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static PostMessageFunction postMessage =
      reinterpret_cast<PostMessageFunction>(User32Function("PostMessageA"));
  if (postMessage) postMessage(window, message, wParam, lParam);  // result ignored
}

HWND DesktopWindow() {
  static GetDesktopWindowFunction getDesktopWindow =
      reinterpret_cast<GetDesktopWindowFunction>(User32Function("GetDesktopWindow"));
  return getDesktopWindow ? getDesktopWindow() : nullptr;
}

}  // namespace

void PostKeyAction(int32_t window, int32_t virtualKey, int32_t action) {
  const HWND target = ToWindow(window);
  const WPARAM key = static_cast<WPARAM>(static_cast<uint32_t>(virtualKey));
  if (action == kKeyDown || action == kKeyPress) Post(target, WM_KEYDOWN, key, 0);
  if (action == kKeyUp || action == kKeyPress) Post(target, WM_KEYUP, key, 0);
}

void PostMouseAction(int32_t window, int32_t x, int32_t y) {
  const HWND target = window != 0 ? ToWindow(window) : DesktopWindow();
  const LPARAM point = static_cast<LPARAM>(PackPointLParam(x, y));
  Post(target, WM_MOUSEMOVE, kMouseMoveWParam, point);
  Post(target, WM_LBUTTONDOWN, MK_LBUTTON, point);
  Post(target, WM_LBUTTONUP, 0, point);
}
