// The registry of core interfaces: filled by load_descriptor, emptied as interfaces are destroyed.
#pragma once

class FPInterfaceDesc;

namespace fp {
/// Registers the interface under its ID, replacing one registered under the same ID.
void register_core_interface(FPInterfaceDesc* desc);
/// Removes the interface if it is the one registered under its ID.
void unregister_core_interface(FPInterfaceDesc* desc);
}  // namespace fp
