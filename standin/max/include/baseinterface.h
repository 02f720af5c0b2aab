// The base of the extension interfaces that host objects hand out by interface ID.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include "iFnPub.h"

/// An interface an object offers through GetInterface(Interface_ID). Owned by that object.
class BaseInterface {
 public:
  virtual Interface_ID GetID() = 0;

 protected:
  ~BaseInterface() = default;
};
