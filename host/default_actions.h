// What the host does about each kind of missing data when it loads a scene.
#pragma once

#include <max.h>

#include <DefaultActions.h>
#include <maxapi.h>

namespace moonstone {

/// The kinds of missing data, with the host's codes.
enum class MissingData : DWORD {
  ExternalFiles = TYPE_MISSING_EXTERNAL_FILES,
  DLLs = TYPE_MISSING_DLL_FILES,
  XREFs = TYPE_MISSING_XREF_FILES,
  UVWs = TYPE_MISSING_UVWS,
};

/// Tells the host to ignore missing data of this kind (action 1: log it) or to fail on it
/// (action 5: log it and abort the load).
void setMissingDataIgnored(MissingData kind, bool ignore);
/// Whether the host's action for this kind is to ignore it (action 1).
bool missingDataIgnored(MissingData kind);

}  // namespace moonstone
