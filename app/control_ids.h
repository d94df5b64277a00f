// Control identifiers of the main window, and its window class. Test drivers
// find the controls of a running tool by these identifiers.
#pragma once

#define BGSHAKE_WINDOW_CLASS "bgshakeMainWindow"

// Identifiers stay clear of IDOK (1) and IDCANCEL (2): Enter in the window
// must press no button.
enum ControlId {
  kId选择夹1 = 1000,
  kId标签1 = 1001,
  kId编辑框1 = 1002,
  kId标签2 = 1003,
  kId编辑框2 = 1004,
  kId标签3 = 1005,
  kId编辑框3 = 1006,
  kId标签4 = 1007,
  kId编辑框4 = 1008,
  kId标签5 = 1009,
  kId编辑框_打招呼 = 1010,
  kId按钮2 = 1011,
  kId按钮1 = 1012,
  kId按钮4 = 1013,
  kId按钮3 = 1014,
  kId超级列表框_配置 = 1015,
  kId编辑框5 = 1016,
};
