// A plug-in for maxsim's tests: says on standard output which entry point the host called, and
// logs through the host's core interface from LibInit.
#include <max.h>

#include <maxapi.h>
#include <plugapi.h>

#include <cstdio>

#ifndef TEST_PLUGIN_VERSION
#define TEST_PLUGIN_VERSION VERSION_3DSMAX
#endif

unsigned long LibVersion() {
  std::printf("%s: LibVersion\n", TEST_PLUGIN_NAME);
  std::fflush(stdout);
  return TEST_PLUGIN_VERSION;
}

const char* LibDescription() {
  std::printf("%s: LibDescription\n", TEST_PLUGIN_NAME);
  std::fflush(stdout);
  return "Test plug-in " TEST_PLUGIN_NAME;
}

#ifndef TEST_PLUGIN_WITHOUT_INIT
void LibInit() {
  std::printf("%s: LibInit\n", TEST_PLUGIN_NAME);
  std::fflush(stdout);
  MCHAR title[] = TEST_PLUGIN_NAME;
  MCHAR format[] = "%s";
  GetCOREInterface()->Log()->LogEntry(SYSLOG_INFO, NO_DIALOG, title, format, "initialised");
}
#endif
