// A plug-in for the plug-in's tests that, once loaded after moonstone.dlx, asks the host for
// FoxgloveUtil by its interface ID, as another plug-in would, and prints what it found.
#include <max.h>

#include <iFnPub.h>
#include <plugapi.h>

#include <cstdio>

unsigned long LibVersion() {
  return VERSION_3DSMAX;
}

const char* LibDescription() {
  return "FoxgloveUtil look-up probe";
}

void LibInit() {
  FPInterface* found = GetCOREInterface(Interface_ID(0x83928748u, 0xA38F941Eu));
  if (found) {
    std::printf("probe: found %s\n", found->GetDesc()->internal_name.data());
  } else {
    std::printf("probe: no interface under the ID\n");
  }
  std::fflush(stdout);
}
