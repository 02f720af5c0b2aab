// The base of the extension interfaces that host objects hand out by interface ID.
#pragma once

#include "iFnPub.h"

/// An interface an object offers through GetInterface(Interface_ID). Owned by that object.
class BaseInterface {
 public:
  virtual Interface_ID GetID() = 0;

 protected:
  ~BaseInterface() = default;
};
