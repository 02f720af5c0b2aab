// Test hook: work for a host thread, done on that thread when it takes its window messages.
#pragma once

#include <windows.h>

#include <functional>

/// Gives the thread with the given id work that it runs the next time it takes its messages
/// (PeekMessageA with PM_REMOVE, as the host's message loop does), as the host gives its main
/// thread work through its message queue. The thread must have a message queue: a thread has
/// one once it has looked at its messages. Returns false for an unknown thread.
bool postThreadWork(DWORD threadId, std::function<void()> work);
