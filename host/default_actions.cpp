// Setting and reading the host's default actions for missing data.
#include "host/default_actions.h"

void setMissingDataIgnored(MissingData kind, bool ignore) {
  GetDefaultActionSys()->SetAction(static_cast<DWORD>(kind),
                                   ignore ? DEFAULTACTION_IGNORE : DEFAULTACTION_FAIL);
}

bool missingDataIgnored(MissingData kind) {
  return GetDefaultActionSys()->GetAction(static_cast<DWORD>(kind)) == DEFAULTACTION_IGNORE;
}
