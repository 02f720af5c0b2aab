// A structured-exception guard around a piece of work, decided by the fault filter.
#pragma once

#include "render/fault_filter.h"

#include <functional>

namespace moonstone {

/// Runs work under a structured-exception guard whose filter is `filter`. Returns true when work
/// returned. Returns false when a structured exception inside it (a hardware fault at any depth)
/// was accepted by the filter; work was then abandoned at the fault and `code` holds the
/// exception's code. Exceptions the filter declines are not handled here: thrown C++ exceptions
/// leave unchanged after the filter has seen them, declined faults go to outer guards and then
/// to the host.
bool runGuarded(const std::function<void()>& work, const FaultFilter& filter, DWORD& code);

}  // namespace moonstone
