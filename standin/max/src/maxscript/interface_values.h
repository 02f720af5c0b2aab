// Core function-publishing interfaces as scripts see them: Interface.Function args,
// Interface.Property.
#pragma once

#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "iFnPub.h"

#include <string>

namespace mxs {

/// A core interface, found again by its ID at each use (a plug-in that published it may have
/// been unloaded since).
class InterfaceValue : public Value {
 public:
  explicit InterfaceValue(FPInterfaceDesc* desc) : id_(desc->ID), name_(desc->internal_name) {}
  /// A published property's value through its getter, or a published function as a value to
  /// call. Throws UnknownPropertyError when the interface has neither.
  Value* get_property(const std::string& name);
  /// Sets a published property through its setter. Throws a RuntimeError for a read-only
  /// property and UnknownPropertyError for an unknown one.
  void set_property(const std::string& name, Value* value);
  void sprin1(CharStream* stream) override;
  const char* class_name() const override { return "Interface"; }

 private:
  Interface_ID id_;
  std::string name_;
};

/// A published function of a core interface, called with positional arguments converted to the
/// published parameter types.
class InterfaceFunction : public Value {
 public:
  InterfaceFunction(const Interface_ID& id, std::string interfaceName, std::string functionName)
      : id_(id), interface_name_(std::move(interfaceName)), name_(std::move(functionName)) {}
  /// Throws ArgCountError when the count differs from the published one, ConversionError for an
  /// argument of the wrong kind, and whatever the function raises.
  Value* apply(Value** arg_list, int count) override;
  void sprin1(CharStream* stream) override;
  const char* class_name() const override { return "InterfaceFunction"; }

 private:
  Interface_ID id_;
  std::string interface_name_;
  std::string name_;
};

}  // namespace mxs
