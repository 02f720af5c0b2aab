// Global variables: one table per process, a root of the collector.
#include "globals.h"

#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "roots.h"

#include <map>
#include <mutex>

namespace mxs {
namespace {
struct Globals {
  std::mutex lock;
  std::map<std::string, Value*> values;
};

Globals& globals() {
  // Never destroyed: values may be read during static destruction of plug-ins.
  static Globals* table = new Globals();
  return *table;
}
}  // namespace

Value* get_global(const std::string& name) {
  Globals& table = globals();
  std::lock_guard<std::mutex> hold(table.lock);
  auto found = table.values.find(name);
  return found == table.values.end() ? nullptr : found->second;
}

void set_global(const std::string& name, Value* value) {
  Globals& table = globals();
  std::lock_guard<std::mutex> hold(table.lock);
  table.values[name] = value;
}

void mark_global_roots() {
  Globals& table = globals();
  std::lock_guard<std::mutex> hold(table.lock);
  for (auto& entry : table.values) entry.second->gc_trace();
}
}  // namespace mxs
