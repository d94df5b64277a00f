// A window that records the input messages it receives, with the time each
// one arrived, for checking what the tool posted and when.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct RecordedMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  double atMs;  // milliseconds since the recorder was created
};

// Creates a visible, non-activating top-level recording window at the given
// screen rectangle. Messages are recorded while the creating thread pumps.
HWND CreateRecorderWindow(int x, int y, int width, int height);
// A visible child window of parent that records like the top-level one.
HWND CreateRecorderChild(HWND parent, int x, int y, int width, int height);

// What a recorder received so far, and forgetting it.
std::vector<RecordedMessage> RecordedMessages(HWND recorder);
void ClearRecordedMessages(HWND recorder);

// Milliseconds on the recorders' clock.
double RecorderNowMs();

// Dispatches this thread's messages until done() or timeoutMs pass; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);
void PumpFor(int ms);

// The handle as the tool shows it: signed decimal of the 32-bit value.
std::string HandleText(HWND window);

// "WM_KEYDOWN 39 0" and the like, for readable failures.
std::string DescribeMessage(const RecordedMessage& message);
std::string DescribeMessages(const std::vector<RecordedMessage>& messages);
