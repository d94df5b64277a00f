// The runs that click the captured points: the nearby-and-shake loop of 按钮2
// "查找附近人(免费)" and the single test click of 按钮3 "测试". Row 0 of the
// table gives the target window, rows 1 to 3 the points.
#pragma once

// Clicks the point of table row n in targetWindow, leaving it in pointX/pointY.
void ClickRow(int n);

// One click at row 3's point in row 0's window.
void TestClick();

// For each of 编辑框1 iterations: clicks rows 1, 2 and 3 with waits between,
// shakes, waits for the interval of 编辑框3 less 10 s, then clicks row 2 again.
// 编辑框2 names each phase and 编辑框4 shows the iteration number.
void RunNearbyAndShake();
