// The wait between the steps of a run. It keeps the window alive: every
// message that arrives meanwhile is dispatched, so the window repaints, the
// hotkeys work and any button can start a run nested inside the wait.
#pragma once

#include <cstdint>

// Returns no earlier than ms milliseconds after the call, dispatching the
// thread's messages meanwhile, and sleeps while there are none. Returns at once
// without dispatching when ms <= 0, and early once the main window is gone.
// The quit message is never removed.
void Wait(int32_t ms);

// Retrieves and dispatches the messages queued now; stops in front of the quit
// message. Returns false if the quit message is at the head of the queue.
bool DispatchPendingMessages();
