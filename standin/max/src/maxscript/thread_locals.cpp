// MAXScript thread locals: one block per thread in a Windows slot, known to the collector.
#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/streams.h"
#include "maxscrpt/excepts.h"
#include "maxscrpt/listener.h"
#include "roots.h"
#include "vformat.h"

#include <cstdarg>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

DWORD thread_locals_index = TlsAlloc();

namespace {
struct Registry {
  std::mutex lock;
  std::set<MAXScript_TLS*> blocks;
};

Registry& registry() {
  // Never destroyed: threads may end after static destruction has begun.
  static Registry* blocks = new Registry();
  return *blocks;
}

// Owns the thread's block and takes it out of the collector's view when the thread ends.
struct ThreadLocalsOwner {
  MAXScript_TLS* block = nullptr;
  ~ThreadLocalsOwner() {
    if (!block) return;
    Registry& all = registry();
    std::lock_guard<std::mutex> hold(all.lock);
    all.blocks.erase(block);
    delete block;
  }
};
thread_local ThreadLocalsOwner owner;
thread_local bool failNextInit = false;

void markValue(Value* value) {
  if (value) value->gc_trace();
}

void markFrames(Value** frame) {
  // A frame is pointer-sized words: the slot count, the previous frame, then the slots.
  while (frame) {
    intptr_t count = 0;
    Value** link = nullptr;
    std::memcpy(&count, frame, sizeof(count));
    std::memcpy(&link, frame + 1, sizeof(link));
    for (intptr_t slot = 0; slot < count; ++slot) markValue(frame[2 + slot]);
    frame = link;
  }
}
}  // namespace

void init_thread_locals() {
  if (failNextInit) {
    failNextInit = false;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return;
  }
  if (!owner.block) {
    auto* block = new MAXScript_TLS();
    block->current_stdout = listener_stream();
    {
      Registry& all = registry();
      std::lock_guard<std::mutex> hold(all.lock);
      all.blocks.insert(block);
    }
    owner.block = block;
    TlsSetValue(thread_locals_index, block);
  }
  SetLastError(ERROR_SUCCESS);
}

MAXScript_TLS* maxscript_thread_locals() {
  auto* block = static_cast<MAXScript_TLS*>(TlsGetValue(thread_locals_index));
  if (block) return block;
  init_thread_locals();
  block = static_cast<MAXScript_TLS*>(TlsGetValue(thread_locals_index));
  if (!block) throw RuntimeError("Unable to set up MAXScript for this thread");
  return block;
}

int mprintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = mxs::vformat(format, args);
  va_end(args);
  maxscript_thread_locals()->current_stdout->puts(text.c_str());
  return static_cast<int>(text.size());
}

void push_value_locals(void* frame) {
  MAXScript_TLS* block = maxscript_thread_locals();
  std::memcpy(static_cast<char*>(frame) + sizeof(intptr_t), &block->current_locals_frame,
              sizeof(Value**));
  block->current_locals_frame = static_cast<Value**>(frame);
}

namespace standin {
void fail_next_thread_locals_init() {
  failNextInit = true;
}
}  // namespace standin

namespace mxs {
void mark_thread_roots() {
  Registry& all = registry();
  std::lock_guard<std::mutex> hold(all.lock);
  for (MAXScript_TLS* block : all.blocks) {
    markFrames(block->current_locals_frame);
    markValue(block->current_stdout);
    markValue(block->current_result);
    for (Value* value : block->eval_stack) markValue(value);
  }
}
}  // namespace mxs
