// Function publishing: interfaces whose functions and properties scripts can call by name.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include "maxtypes.h"

#include <cstdarg>
#include <string>
#include <vector>

class ClassDesc;
class Value;

/// A function's number within its interface.
typedef short FunctionID;
#define FP_NO_FUNCTION (static_cast<FunctionID>(-1))
/// A string resource number (0: none).
typedef int StringResID;
/// The result of a dispatch.
typedef int FPStatus;

/// Parameter type codes of the parameter blocks.
enum ParamType {
  TYPE_FLOAT = 0,
  TYPE_INT = 1,
};
/// Type codes of function publishing: those of ParamType (converted explicitly) and these.
enum ParamType2 {
  TYPE_VOID = 25,
  TYPE_VALUE = 44,
  TYPE_bool = 46,
};

// Dispatch results.
#define FPS_FAIL 0
#define FPS_OK 1
#define FPS_NO_SUCH_FUNCTION -1

// Descriptor flags.
#define FP_ACTIONS 0x0001
#define FP_MIXIN 0x0002
/// A core interface: reachable through GetCOREInterface(Interface_ID) and, in scripts, as a
/// global under its internal name.
#define FP_CORE 0x0004

/// Markers of the descriptor list: `properties` begins the property records, `end` ends the list.
enum {
  end = static_cast<int>(0xC0000400u),
  properties = static_cast<int>(0xC0000401u),
};

/// Identifies an interface by two 32-bit parts; a default-constructed ID has all bits set.
class Interface_ID {
 public:
  Interface_ID() : a_(0xFFFFFFFFu), b_(0xFFFFFFFFu) {}
  Interface_ID(DWORD a, DWORD b) : a_(a), b_(b) {}
  DWORD PartA() { return a_; }
  DWORD PartB() { return b_; }
  bool operator==(const Interface_ID& other) const { return a_ == other.a_ && b_ == other.b_; }
  bool operator!=(const Interface_ID& other) const { return !(*this == other); }

 private:
  DWORD a_;
  DWORD b_;
};

/// A typed value passed to or returned from a published function.
class CoreExport FPValue {
 public:
  FPValue() : type(TYPE_VOID), ptr(nullptr) {}
  /// Stores the one variable argument after `type` (see Loadva).
  void Load(int type, ...);
  /// Stores the next item of `ap` as a value of `type`. Without `ptr`, the item is the value as
  /// a variable argument carries it (an int for TYPE_INT and TYPE_bool, a double for TYPE_FLOAT,
  /// a Value* for TYPE_VALUE); with `ptr`, the item is a pointer to the value (a Value* is its
  /// own pointer form). TYPE_VOID reads nothing. Throws std::invalid_argument for other types.
  /// (The host's own returns the moved va_list; on x86-64 System V a va_list is an array, which no
  /// function can return, so nothing is returned here and callers must not use the result.)
  void Loadva(int type, va_list ap, bool ptr = false);

  ParamType2 type;
  union {
    int i;
    float f;
    bool b;
    Value* v;
    void* ptr;
  };
};

/// The packed parameters of a call, in published order.
class FPParams {
 public:
  std::vector<FPValue> params;
};

/// A published parameter.
struct FPParamDef {
  std::string internal_name;
  StringResID description = 0;
  ParamType2 type = TYPE_VOID;
};

/// A published function.
struct FPFunctionDef {
  FunctionID ID = FP_NO_FUNCTION;
  std::string internal_name;
  StringResID description = 0;
  ParamType2 result_type = TYPE_VOID;
  int flags = 0;
  std::vector<FPParamDef> params;
};

/// A published property: read through its getter function, written through its setter
/// (FP_NO_FUNCTION for a read-only property).
struct FPPropDef {
  FunctionID getter_ID = FP_NO_FUNCTION;
  FunctionID setter_ID = FP_NO_FUNCTION;
  std::string internal_name;
  StringResID description = 0;
  ParamType2 prop_type = TYPE_VOID;
};

class FPInterfaceDesc;

/// An interface whose functions are called by ID.
class CoreExport FPInterface {
 public:
  virtual ~FPInterface() = default;
  virtual FPInterfaceDesc* GetDesc() = 0;
  /// Calls function `fid` at time t with the packed parameters; the result goes into `result`.
  /// FPS_OK, or FPS_NO_SUCH_FUNCTION for an ID the interface does not have.
  FPStatus Invoke(FunctionID fid, TimeValue t, FPValue& result, FPParams* params = nullptr);
  /// The dispatch entry that Invoke calls; an interface overrides it to run its functions.
  virtual FPStatus _dispatch_fn(FunctionID fid, TimeValue t, FPValue& result, FPParams* params);
};

/// An interface with its descriptor: identity, functions and properties.
class CoreExport FPInterfaceDesc : public FPInterface {
 public:
  FPInterfaceDesc() = default;
  FPInterfaceDesc(const FPInterfaceDesc&) = delete;
  FPInterfaceDesc& operator=(const FPInterfaceDesc&) = delete;
  /// A core interface is unregistered here.
  ~FPInterfaceDesc() override;
  FPInterfaceDesc* GetDesc() override { return this; }

  /// The function published under this name (compared without regard to case), or null.
  const FPFunctionDef* GetFnDef(const std::string& name) const;
  /// The property published under this name (compared without regard to case), or null.
  const FPPropDef* GetPropDef(const std::string& name) const;

 protected:
  /// Reads the descriptor list from `ap`: function records (ID, name, name resource, result
  /// type, flags, parameter count, then per parameter: name, name resource, type), optionally
  /// properties followed by property records (getter ID, setter ID, name, name resource,
  /// type), and end. Stores the identity and, with FP_CORE in `flags`, registers the
  /// interface as a core interface (replacing one registered under the same ID).
  void load_descriptor(Interface_ID id, MCHAR* int_name, StringResID descr, ClassDesc* cd,
                       USHORT flag, va_list ap);

 public:
  Interface_ID ID;
  std::string internal_name;
  StringResID description = 0;
  ClassDesc* cd = nullptr;
  unsigned short flags = 0;
  std::vector<FPFunctionDef> functions;
  std::vector<FPPropDef> props;
};

/// An interface of which one object exists, built by the plug-in that publishes it.
class FPStaticInterface : public FPInterfaceDesc {};

/// The core interface registered under the ID, or null.
CoreExport FPInterface* GetCOREInterface(Interface_ID id);
/// The core interface registered under the internal name (compared without regard to case), or
/// null.
CoreExport FPInterfaceDesc* GetCOREInterfaceByName(const std::string& internal_name);

/// An error raised by the host, carrying a message and an optional code.
class MAXException {
 public:
  /// Copies the message (null: empty).
  explicit MAXException(MCHAR* msg, int code = 0) : message(msg ? msg : ""), error_code(code) {}

  MSTR message;
  int error_code;
};
