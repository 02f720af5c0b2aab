// How the wrapper moves member-function parameter and result types in and out of packed values.
#pragma once

#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "iFnPub.h"
#include "maxscrpt/excepts.h"
#include "maxscrpt/streams.h"
#include "maxscrpt/strings.h"
#include "maxscrpt/numbers.h"
#include "maxscrpt/parser.h"
#include "maxscrpt/listener.h"

#include <string>
#include <type_traits>

namespace tangram {
namespace FPWrapper {

/// A parameter type of a published member: its type code and how it is read from the packed
/// value. Defined only for the types the wrapper publishes.
template <class Parameter>
struct FPArgument;

template <>
struct FPArgument<int> {
  static constexpr ParamType2 code = TYPE_INT;
  static int read(const FPValue& value) { return value.i; }
};

template <>
struct FPArgument<float> {
  static constexpr ParamType2 code = TYPE_FLOAT;
  static float read(const FPValue& value) { return value.f; }
};

/// Strings are published as MAXScript values and read as their text; no text reads as "".
template <>
struct FPArgument<std::string> {
  static constexpr ParamType2 code = TYPE_VALUE;
  static std::string read(const FPValue& value) {
    const char* text = value.v ? value.v->to_string() : nullptr;
    return text ? text : "";
  }
};

/// The packed value of a parameter of type `Parameter` as written in a member signature.
template <class Parameter>
using FPArgumentOf = FPArgument<std::remove_cv_t<std::remove_reference_t<Parameter>>>;

/// Loads one value into a result through FPValue::Loadva.
void load_result(FPValue& result, bool byPointer, ParamType2 type, ...);

/// A result type of a published member: its type code and how it is stored into the result.
template <class Result>
struct FPResult;

template <>
struct FPResult<bool> {
  static constexpr ParamType2 code = TYPE_bool;
  static void store(FPValue& result, bool value) { load_result(result, false, code, value); }
};

template <>
struct FPResult<int> {
  static constexpr ParamType2 code = TYPE_INT;
  static void store(FPValue& result, int value) { load_result(result, false, code, value); }
};

template <>
struct FPResult<Value*> {
  static constexpr ParamType2 code = TYPE_VALUE;
  static void store(FPValue& result, Value* value) { load_result(result, true, code, value); }
};

/// A void member leaves the result as it was.
template <>
struct FPResult<void> {
  static constexpr ParamType2 code = TYPE_VOID;
};

}  // namespace FPWrapper
}  // namespace tangram
