// Setting and reading the host's default actions for missing data.
#include "host/default_actions.h"

namespace moonstone {

void setMissingDataIgnored(MissingData kind, bool ignore) {
  GetCOREInterface()->DefaultActions()->SetAction(
      static_cast<DWORD>(kind),
      ignore ? DEFAULTACTIONS_LOGTOFILE : DEFAULTACTIONS_LOGTOFILE | DEFAULTACTIONS_ABORT);
}

bool missingDataIgnored(MissingData kind) {
  DWORD action = 0;
  return GetCOREInterface()->DefaultActions()->GetAction(static_cast<DWORD>(kind), action) &&
         action == DEFAULTACTIONS_LOGTOFILE;
}

}  // namespace moonstone
