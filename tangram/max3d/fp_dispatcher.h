// Dispatchers: one published member function each, called with packed parameters by function ID.
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
#include "tangram/max3d/descriptor_list.h"
#include "tangram/max3d/fp_type_traits.h"

#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace tangram {
namespace FPWrapper {

/// One published entry of interface class T: its function ID, script name (empty for a property
/// getter) and parameter names (7 for a function, of which the first n are published; none for
/// a getter).
template <class T>
class FPDispatcher {
 public:
  FPDispatcher(FunctionID id, std::string scriptName, std::vector<std::string> parameterNames)
      : id_(id), script_name_(std::move(scriptName)), parameter_names_(std::move(parameterNames)) {}
  virtual ~FPDispatcher() = default;
  FPDispatcher(const FPDispatcher&) = delete;
  FPDispatcher& operator=(const FPDispatcher&) = delete;

  /// Calls the member on the object with the packed parameters and stores its result. Errors of
  /// the std::exception family arrive as a MAXScript RuntimeError with the error's text; other
  /// exceptions pass unchanged.
  virtual void invoke(T* object, TimeValue t, FPValue& result, FPParams* params) = 0;
  /// Appends the function's record to the descriptor list.
  virtual void describe(DescriptorList& list) const = 0;

  FunctionID id() const { return id_; }
  const std::string& script_name() const { return script_name_; }
  const std::vector<std::string>& parameter_names() const { return parameter_names_; }

 private:
  FunctionID id_;
  std::string script_name_;
  std::vector<std::string> parameter_names_;
};

template <class T, class Signature>
class FPDispatcherImpl;

/// The dispatcher of a member of signature R (Args...).
template <class T, class R, class... Args>
class FPDispatcherImpl<T, R(Args...)> : public FPDispatcher<T> {
 public:
  using Member = R (T::*)(Args...);

  FPDispatcherImpl(FunctionID id, std::string scriptName, std::vector<std::string> parameterNames,
                   Member member)
      : FPDispatcher<T>(id, std::move(scriptName), std::move(parameterNames)), member_(member) {}

  void invoke(T* object, TimeValue, FPValue& result, FPParams* params) override {
    try {
      call(object, result, params, std::index_sequence_for<Args...>{});
    } catch (const std::exception& error) {
      throw RuntimeError(error.what());
    }
  }

  void describe(DescriptorList& list) const override {
    list.add_int(this->id());
    list.add_pointer(this->script_name().c_str());
    list.add_int(0);
    list.add_int(FPResult<R>::code);
    list.add_int(0);
    list.add_int(static_cast<int>(sizeof...(Args)));
    const ParamType2 codes[] = {FPArgumentOf<Args>::code..., TYPE_VOID};
    for (size_t k = 0; k < sizeof...(Args); ++k) {
      list.add_pointer(this->parameter_names()[k].c_str());
      list.add_int(0);
      list.add_int(codes[k]);
    }
  }

 private:
  template <size_t... K>
  void call(T* object, FPValue& result, FPParams* params, std::index_sequence<K...>) {
    // No count check: the host has matched the call to the published parameter list.
    if constexpr (std::is_void_v<R>) {
      (void)result;
      (object->*member_)(FPArgumentOf<Args>::read(params->params[K])...);
    } else {
      FPResult<R>::store(result,
                         (object->*member_)(FPArgumentOf<Args>::read(params->params[K])...));
    }
  }

  Member member_;
};

}  // namespace FPWrapper
}  // namespace tangram
