// The descriptor builder's refusal of the default interface ID.
#include "tangram/max3d/hv_create_descriptor.h"

#include "max.h"

#include "maxapi.h"

#include <stdexcept>

namespace tangram {
namespace FPWrapper {

void reject_default_interface_id(const Interface_ID& id, const std::string& internalName) {
  if (id.PartA() != 0xFFFFFFFFu || id.PartB() != 0xFFFFFFFFu) return;
  const std::string message =
      "HVCreateDescriptor() - The interface ID for the function publishing descriptor \"" +
      internalName +
      "\" was set to the default value, its value must be set to a randomly selected constant "
      "value.";
  GetCOREInterface()->Log()->LogEntry(SYSLOG_ERROR, DISPLAY_DIALOG,
                                      "HV Function Publishing Wrapper", "%s", message.c_str());
  throw std::runtime_error(message);
}

}  // namespace FPWrapper
}  // namespace tangram
