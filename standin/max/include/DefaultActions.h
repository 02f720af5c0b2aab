// The default-action system: what the host does about each kind of missing data in a scene.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include "maxtypes.h"

/// Kinds of missing data.
#define TYPE_MISSING_EXTERNAL_FILES 1u
#define TYPE_MISSING_DLL_FILES 2u
#define TYPE_MISSING_XREF_FILES 3u
#define TYPE_MISSING_UVWS 4u

/// Action flags. A missing item of a kind whose action is exactly DEFAULTACTIONS_LOGTOFILE is
/// logged and the load goes on; with any other action it fails the load.
#define DEFAULTACTIONS_LOGTOFILE 0x00000001u
#define DEFAULTACTIONS_ABORT 0x00000004u

/// Keeps one action per kind; every kind starts at DEFAULTACTIONS_LOGTOFILE | DEFAULTACTIONS_ABORT.
/// Reached through Interface::DefaultActions().
class DefaultActionSys {
 public:
  /// Gives the action for the kind in `action`; FALSE (action unchanged) for an unknown kind.
  virtual BOOL GetAction(DWORD eventID, DWORD& action) = 0;
  /// Sets the action for the kind; FALSE for an unknown kind.
  virtual BOOL SetAction(DWORD eventID, DWORD action) = 0;

 protected:
  ~DefaultActionSys() = default;
};
