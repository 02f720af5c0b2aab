// Trapped host calls: a call that may crash the host, run so that a fault becomes an error text.
#pragma once

#include "render/fault_filter.h"

#include <functional>
#include <string>

namespace moonstone {

/// Runs a call that gives no result under a guard with `filter`. errorText is emptied first;
/// when the filter accepts a fault inside the call, errorText becomes "Trapped SEH Exception in "
/// + operation + "(): " + the code's name (for example "Trapped SEH Exception in EndJob(): Access
/// Violation"). Exceptions the call throws pass through unchanged, with errorText left empty;
/// the filter has stored their report all the same.
void trappedCall(const char* operation, std::string& errorText, const FaultFilter& filter,
                 const std::function<void()>& call);

/// As above for a call with a result: gives back the call's result, or faultResult when a fault
/// was trapped. Callers treat a non-empty errorText as a fault whatever the result says.
template <typename Result, typename Call>
Result trappedCall(const char* operation, std::string& errorText, const FaultFilter& filter,
                   Result faultResult, Call&& call) {
  Result result = faultResult;
  trappedCall(operation, errorText, filter, [&result, &call] { result = call(); });
  return errorText.empty() ? result : faultResult;
}

}  // namespace moonstone
