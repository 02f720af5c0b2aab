// The collectable heap: every script value made with new, and the mark-and-sweep collection.
#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "roots.h"

#include <mutex>
#include <unordered_set>
#include <vector>

class CollectableHeap {
 public:
  static CollectableHeap& get() {
    // Never destroyed: values may outlive static destruction (plug-ins unload late), and the
    // objects stay reachable from here for leak checkers.
    static CollectableHeap* heap = new CollectableHeap();
    return *heap;
  }

  void add(Collectable* object) {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    objects_.insert(object);
  }

  void remove(Collectable* object) {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    objects_.erase(object);
  }

  size_t size() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    return objects_.size();
  }

  void collect() {
    std::vector<Collectable*> unreachable;
    {
      // Held through marking so that no value joins the heap half-way.
      std::lock_guard<std::recursive_mutex> hold(lock_);
      mxs::mark_thread_roots();
      mxs::mark_global_roots();
      for (auto it = objects_.begin(); it != objects_.end();) {
        Collectable* object = *it;
        if (object->marked_) {
          object->marked_ = false;
          ++it;
        } else {
          object->on_heap_ = false;
          unreachable.push_back(object);
          it = objects_.erase(it);
        }
      }
    }
    for (Collectable* object : unreachable) delete object;
  }

 private:
  std::recursive_mutex lock_;
  std::unordered_set<Collectable*> objects_;
};

Collectable::Collectable() : on_heap_(true) {
  CollectableHeap::get().add(this);
}

Collectable::Collectable(Permanent) : on_heap_(false) {}

Collectable::~Collectable() {
  if (on_heap_) CollectableHeap::get().remove(this);
}

bool Collectable::mark() {
  // Permanent objects hold nothing collectable, so there is nothing to trace through them.
  if (!on_heap_ || marked_) return false;
  marked_ = true;
  return true;
}

void Collectable::gc_trace() {
  mark();
}

void Collectable::collect() {
  delete this;
}

void Collectable::gc() {
  CollectableHeap::get().collect();
}

size_t Collectable::heap_size() {
  return CollectableHeap::get().size();
}
