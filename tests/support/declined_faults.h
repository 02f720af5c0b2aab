// Test helper: letting a fault that the plug-in's filter declines end the host, as on a node.
#pragma once

/// Makes the host programs that this test starts die of a declined fault as they would on a node:
/// under AddressSanitizer (POSIX), the sanitizer would otherwise take the fault and exit with a
/// status of its own. Nothing to do on Windows.
void letDeclinedFaultsEndTheHost();
