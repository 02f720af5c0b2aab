// Calls from scripts into core interfaces: argument and result conversion, properties.
#include "interface_values.h"

#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/numbers.h"
#include "maxscrpt/streams.h"
#include "maxscrpt/excepts.h"
#include "runtime_error.h"

#include <vector>

namespace mxs {
namespace {
// Scripts here run without an "at time" context; functions get time 0.
constexpr TimeValue kCallTime = 0;

FPInterfaceDesc* findInterface(const Interface_ID& id, const std::string& name) {
  FPInterface* found = GetCOREInterface(id);
  if (!found) throw_runtime_error("Interface " + name + " is no longer available");
  return found->GetDesc();
}

FPValue toParameter(Value* value, ParamType2 type) {
  FPValue parameter;
  parameter.type = type;
  switch (static_cast<int>(type)) {
    case TYPE_INT:
      parameter.i = value->to_int();
      break;
    case TYPE_FLOAT:
      parameter.f = value->to_float();
      break;
    case TYPE_bool:
      parameter.b = value->to_bool();
      break;
    case TYPE_VALUE:
      parameter.v = value;
      break;
    default:
      throw_runtime_error("Unsupported parameter type " + std::to_string(type));
  }
  return parameter;
}

Value* fromResult(const FPValue& result, ParamType2 type) {
  switch (static_cast<int>(type)) {
    case TYPE_INT:
      return new Integer(result.i);
    case TYPE_FLOAT:
      return new Float(result.f);
    case TYPE_bool:
      return bool_result(result.b);
    case TYPE_VALUE:
      return result.v ? result.v : &undefined;
    default:
      return &ok;
  }
}

Value* invoke(FPInterfaceDesc* desc, FunctionID id, ParamType2 resultType, FPParams& params,
              const std::string& name) {
  FPValue result;
  if (desc->Invoke(id, kCallTime, result, &params) != FPS_OK) {
    throw_runtime_error("Interface function could not be called: " + desc->internal_name + "." +
                        name);
  }
  return fromResult(result, resultType);
}
}  // namespace

Value* InterfaceValue::get_property(const std::string& name) {
  FPInterfaceDesc* desc = findInterface(id_, name_);
  if (const FPPropDef* property = desc->GetPropDef(name)) {
    FPParams none;
    return invoke(desc, property->getter_ID, property->prop_type, none, property->internal_name);
  }
  if (const FPFunctionDef* function = desc->GetFnDef(name)) {
    return new InterfaceFunction(id_, name_, function->internal_name);
  }
  throw UnknownPropertyError(name, this);
}

void InterfaceValue::set_property(const std::string& name, Value* value) {
  FPInterfaceDesc* desc = findInterface(id_, name_);
  const FPPropDef* property = desc->GetPropDef(name);
  if (!property) throw UnknownPropertyError(name, this);
  if (property->setter_ID == FP_NO_FUNCTION) {
    throw_runtime_error("Cannot set read-only property: " + property->internal_name);
  }
  FPParams params;
  params.params.push_back(toParameter(value, property->prop_type));
  invoke(desc, property->setter_ID, TYPE_VOID, params, property->internal_name);
}

void InterfaceValue::sprin1(CharStream* stream) {
  stream->printf("<Interface:%s>", name_.c_str());
}

Value* InterfaceFunction::apply(Value** arg_list, int count) {
  FPInterfaceDesc* desc = findInterface(id_, interface_name_);
  const FPFunctionDef* function = desc->GetFnDef(name_);
  if (!function) throw_runtime_error("Interface function no longer exists: " + name_);
  const int wanted = static_cast<int>(function->params.size());
  if (count != wanted) throw ArgCountError(function->internal_name, wanted, count);
  FPParams params;
  for (int k = 0; k < count; ++k) {
    params.params.push_back(toParameter(arg_list[k], function->params[k].type));
  }
  return invoke(desc, function->ID, function->result_type, params, function->internal_name);
}

void InterfaceFunction::sprin1(CharStream* stream) {
  stream->printf("<InterfaceFunction:%s.%s>", interface_name_.c_str(), name_.c_str());
}

}  // namespace mxs
