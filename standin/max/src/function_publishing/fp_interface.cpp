// FPInterface dispatch and FPInterfaceDesc: reading the descriptor list, finding functions.
#include "max.h"

#include "iFnPub.h"

#include "core_interface_registry.h"

#include <strings.h>

FPStatus FPInterface::Invoke(FunctionID fid, TimeValue t, FPValue& result, FPParams* params) {
  return _dispatch_fn(fid, t, result, params);
}

FPStatus FPInterface::_dispatch_fn(FunctionID, TimeValue, FPValue&, FPParams*) {
  return FPS_NO_SUCH_FUNCTION;
}

FPInterfaceDesc::~FPInterfaceDesc() {
  fp::unregister_core_interface(this);
}

void FPInterfaceDesc::load_descriptor(Interface_ID id, const MCHAR* int_name, StringResID descr,
                                      ClassDesc* classDesc, unsigned short descFlags, va_list ap) {
  ID = id;
  internal_name = int_name ? int_name : "";
  description = descr;
  cd = classDesc;
  flags = descFlags;
  // Items are read in the order the list grammar gives them; integers travel widened to int.
  for (int tag = va_arg(ap, int); tag != FP_END_TAG; tag = va_arg(ap, int)) {
    if (tag == FP_PROPERTIES_TAG) {
      for (int getter = va_arg(ap, int); getter != FP_END_TAG; getter = va_arg(ap, int)) {
        FPPropDef property;
        property.getter_ID = static_cast<FunctionID>(getter);
        property.setter_ID = static_cast<FunctionID>(va_arg(ap, int));
        property.internal_name = va_arg(ap, const char*);
        property.description = va_arg(ap, int);
        property.prop_type = va_arg(ap, int);
        props.push_back(property);
      }
      break;
    }
    FPFunctionDef function;
    function.ID = static_cast<FunctionID>(tag);
    function.internal_name = va_arg(ap, const char*);
    function.description = va_arg(ap, int);
    function.result_type = va_arg(ap, int);
    function.flags = va_arg(ap, int);
    const int count = va_arg(ap, int);
    for (int k = 0; k < count; ++k) {
      FPParamDef parameter;
      parameter.internal_name = va_arg(ap, const char*);
      parameter.description = va_arg(ap, int);
      parameter.type = va_arg(ap, int);
      function.params.push_back(parameter);
    }
    functions.push_back(function);
  }
  if (flags & FP_CORE) fp::register_core_interface(this);
}

const FPFunctionDef* FPInterfaceDesc::GetFnDef(const std::string& name) const {
  for (const FPFunctionDef& function : functions) {
    if (strcasecmp(function.internal_name.c_str(), name.c_str()) == 0) return &function;
  }
  return nullptr;
}

const FPPropDef* FPInterfaceDesc::GetPropDef(const std::string& name) const {
  for (const FPPropDef& property : props) {
    if (strcasecmp(property.internal_name.c_str(), name.c_str()) == 0) return &property;
  }
  return nullptr;
}
