// The default-action system: one action per kind of missing data.
#include "max.h"

#include "DefaultActions.h"

#include "core/host_state.h"

#include <array>
#include <mutex>

namespace standin {

namespace {

class DefaultActions : public DefaultActionSys {
 public:
  DefaultActions() { reset(); }
  DWORD GetAction(DWORD type) override {
    std::lock_guard<std::mutex> hold(mutex_);
    return known(type) ? actions_[type - 1] : DEFAULTACTION_FAIL;
  }
  BOOL SetAction(DWORD type, DWORD action) override {
    std::lock_guard<std::mutex> hold(mutex_);
    if (!known(type)) return FALSE;
    actions_[type - 1] = action;
    return TRUE;
  }
  void reset() {
    std::lock_guard<std::mutex> hold(mutex_);
    actions_.fill(DEFAULTACTION_FAIL);
  }

 private:
  static bool known(DWORD type) {
    return type >= TYPE_MISSING_EXTERNAL_FILES && type <= TYPE_MISSING_UVWS;
  }
  std::mutex mutex_;
  std::array<DWORD, 4> actions_;
};

DefaultActions& defaultActions() {
  static DefaultActions actions;
  return actions;
}

}  // namespace

void resetDefaultActions() {
  defaultActions().reset();
}

}  // namespace standin

DefaultActionSys* GetDefaultActionSys() {
  return &standin::defaultActions();
}
