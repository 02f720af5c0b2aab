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

/// Actions: a missing item of a kind whose action is DEFAULTACTION_IGNORE is logged and the
/// load goes on; with any other action it fails the load.
#define DEFAULTACTION_IGNORE 1u
#define DEFAULTACTION_FAIL 5u

/// Keeps one action per kind; every kind starts at DEFAULTACTION_FAIL.
class DefaultActionSys {
 public:
  /// The action for the kind (DEFAULTACTION_FAIL for a kind never set or unknown).
  virtual DWORD GetAction(DWORD type) = 0;
  /// Sets the action for the kind; FALSE for an unknown kind.
  virtual BOOL SetAction(DWORD type, DWORD action) = 0;

 protected:
  ~DefaultActionSys() = default;
};

/// The host's one default-action system.
DefaultActionSys* GetDefaultActionSys();
