// Scene nodes: named, with children and an object.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include "object.h"

/// A node of the scene. Owned by the scene; a pointer stays valid until another scene is loaded.
class INode {
 public:
  virtual ~INode() = default;
  virtual const MCHAR* GetName() = 0;
  /// The node's object at time t (obj is null for a node without an object).
  virtual const ObjectState& EvalWorldState(TimeValue t, BOOL evalHidden = TRUE) = 0;
  virtual int NumberOfChildren() = 0;
  /// Child i, or null when i is out of range.
  virtual INode* GetChildNode(int i) = 0;
};
