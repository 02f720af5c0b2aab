// The default-action system: one action per kind of missing data.
#include "max.h"

#include "DefaultActions.h"
#include "maxsim_state.h"

#include "core/host_state.h"

#include <array>
#include <mutex>

namespace standin {

namespace {

class DefaultActions : public DefaultActionSys {
 public:
  DefaultActions() { reset(); }
  BOOL GetAction(DWORD type, DWORD& action) override {
    std::lock_guard<std::mutex> hold(mutex_);
    if (!known(type)) return FALSE;
    action = actions_[type - 1];
    return TRUE;
  }
  BOOL SetAction(DWORD type, DWORD action) override {
    std::lock_guard<std::mutex> hold(mutex_);
    if (!known(type)) return FALSE;
    actions_[type - 1] = action;
    return TRUE;
  }
  void reset() {
    std::lock_guard<std::mutex> hold(mutex_);
    actions_.fill(DEFAULTACTIONS_LOGTOFILE | DEFAULTACTIONS_ABORT);
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

DefaultActionSys* defaultActionSys() {
  return &defaultActions();
}

unsigned long default_action(unsigned long kind) {
  DWORD action = 0;
  defaultActions().GetAction(static_cast<DWORD>(kind), action);
  return action;
}

}  // namespace standin
