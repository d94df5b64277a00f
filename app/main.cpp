// Start-up and end of the tool: the folder of the program becomes the current
// directory, the window is created hidden and initialised, shown, and the
// message loop runs until the window is closed. The exit code is always 0.
#include <windows.h>

#include "app/main_window.h"
#include "common/module_path_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  // The click-point file is opened by its bare name, relative to this folder.
  const std::string folder = ExecutableDirectory();
  if (!folder.empty()) SetCurrentDirectoryA((folder + "\\").c_str());

  HWND window = CreateMainWindow(instance);
  if (!window) return 0;  // nothing to show; silently
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  SetFocus(编辑框1);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (HandleWindowKeys(&message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
