// Scene nodes: named, with children and an object.
#pragma once

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
