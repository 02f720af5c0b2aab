// The registry of core interfaces, by ID and by internal name.
#include "core_interface_registry.h"

#include "max.h"

#include "iFnPub.h"

#include <mutex>
#include <strings.h>
#include <vector>

namespace fp {
namespace {
struct Registry {
  std::mutex lock;
  std::vector<FPInterfaceDesc*> interfaces;
};

Registry& registry() {
  // Never destroyed: plug-ins' interfaces unregister during static destruction.
  static Registry* all = new Registry();
  return *all;
}
}  // namespace

void register_core_interface(FPInterfaceDesc* desc) {
  Registry& all = registry();
  std::lock_guard<std::mutex> hold(all.lock);
  for (FPInterfaceDesc*& existing : all.interfaces) {
    if (existing->ID == desc->ID) {
      existing = desc;
      return;
    }
  }
  all.interfaces.push_back(desc);
}

void unregister_core_interface(FPInterfaceDesc* desc) {
  Registry& all = registry();
  std::lock_guard<std::mutex> hold(all.lock);
  for (auto it = all.interfaces.begin(); it != all.interfaces.end(); ++it) {
    if (*it == desc) {
      all.interfaces.erase(it);
      return;
    }
  }
}
}  // namespace fp

FPInterface* GetCOREInterface(Interface_ID id) {
  fp::Registry& all = fp::registry();
  std::lock_guard<std::mutex> hold(all.lock);
  for (FPInterfaceDesc* desc : all.interfaces) {
    if (desc->ID == id) return desc;
  }
  return nullptr;
}

FPInterfaceDesc* GetCOREInterfaceByName(const std::string& internal_name) {
  fp::Registry& all = fp::registry();
  std::lock_guard<std::mutex> hold(all.lock);
  for (FPInterfaceDesc* desc : all.interfaces) {
    if (strcasecmp(desc->internal_name.c_str(), internal_name.c_str()) == 0) return desc;
  }
  return nullptr;
}
