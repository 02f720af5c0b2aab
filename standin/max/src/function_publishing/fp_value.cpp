// FPValue: loading a typed value from a variable-argument item.
#include "max.h"

#include "iFnPub.h"

#include <stdexcept>

void FPValue::Load(ParamType2 valueType, ...) {
  va_list ap;
  va_start(ap, valueType);
  Loadva(valueType, ap, false);
  va_end(ap);
}

void FPValue::Loadva(ParamType2 valueType, va_list ap, bool byPointer) {
  switch (valueType) {
    case TYPE_INT:
      i = byPointer ? *va_arg(ap, int*) : va_arg(ap, int);
      break;
    case TYPE_bool:
      b = byPointer ? *va_arg(ap, bool*) : va_arg(ap, int) != 0;
      break;
    case TYPE_FLOAT:
      f = byPointer ? *va_arg(ap, float*) : static_cast<float>(va_arg(ap, double));
      break;
    case TYPE_VALUE:
      v = va_arg(ap, Value*);
      break;
    case TYPE_VOID:
      break;
    default:
      throw std::invalid_argument("FPValue::Loadva: unsupported type " + std::to_string(valueType));
  }
  type = valueType;
}
