// The per-thread window-message queue: posting, peeking, translating and dispatching messages.
#pragma once

#include "win32/base_types.h"

#include <functional>

struct POINT {
  LONG x;
  LONG y;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
typedef MSG* LPMSG;

#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u
#define WM_NULL 0x0000u
#define WM_QUIT 0x0012u
#define WM_USER 0x0400u
#define WM_APP 0x8000u

/// Looks at the calling thread's queue; with PM_REMOVE the message found is taken off it.
/// Only thread messages exist here, so the window and the filter range must be 0.
BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg);
/// Keyboard translation; there is no keyboard here, so it only reports whether it would translate.
BOOL WINAPI TranslateMessage(const MSG* msg);
/// Runs the work attached to a message posted with standin::post_thread_work; returns 0.
LRESULT WINAPI DispatchMessageA(const MSG* msg);
/// Appends a message to the queue of the thread with the given id (a thread that has run
/// GetCurrentThreadId). Fails with FALSE for an unknown thread.
BOOL WINAPI PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);

namespace standin {
/// The host's way to give a thread work to do the next time it pumps its messages: posts a
/// WM_APP message to the thread's queue whose DispatchMessageA runs the given work on that thread.
/// Returns false for an unknown thread.
bool post_thread_work(DWORD threadId, std::function<void()> work);
/// Number of messages waiting in the queue of the thread with the given id.
size_t pending_messages(DWORD threadId);
}  // namespace standin
