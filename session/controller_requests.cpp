// The request texts, their one-packet exchanges, and how answers and failures are read.
#include "session/controller_requests.h"

// Boost comes before the SDK headers, whose base_type macro breaks it.
#include <boost/lexical_cast.hpp>

#include "session/global_socket.h"
#include "session/message_pump.h"
#include "tangram/max3d/maxscript/runtime_error.h"

#include <max.h>
#include <maxscrpt/maxscrpt.h>

#include <maxscrpt/excepts.h>

#include <sstream>
#include <stdexcept>

namespace moonstone {

namespace {

using tangram::win32::simple_socket_error;

const int answerTimeoutMs = 1000;
const std::string successPrefix = "SUCCESS: ";

// Sends a request and returns the one answer packet; socket failures become script errors.
std::string exchange(const std::string& request, const char* function) {
  try {
    globalSocket.send(request);
    return globalSocket.receive(answerTimeoutMs);
  } catch (const simple_socket_error& error) {
    tangram::max3d::throw_runtime_error(std::string("Error in ") + function + ": " + error.what());
  }
}

void notify(const std::string& request, const char* function) {
  try {
    globalSocket.send(request);
  } catch (const simple_socket_error& error) {
    tangram::max3d::throw_runtime_error(std::string("Error in ") + function + ": " + error.what());
  }
}

// The value of a "SUCCESS: " answer; any other answer means the entry does not exist.
std::string valueOf(const std::string& answer, const std::string& notFound) {
  if (answer.compare(0, successPrefix.size(), successPrefix) != 0) {
    throw std::invalid_argument(notFound);
  }
  return answer.substr(successPrefix.size());
}

std::string keyMissing(const std::string& key) {
  return "Key " + key + " doesn't exist";
}

}  // namespace

std::string titleRequestText(const std::string& title) {
  return "FUNCTION: SETTITLE " + title;
}

std::string progressRequestText(float percent) {
  std::ostringstream text;
  text.precision(7);
  text << "FUNCTION: PROGRESS " << percent;
  return text.str();
}

void requestSetTitle(const std::string& title) {
  pumpMessages();
  notify(titleRequestText(title), "SetTitle");
}

void requestLogMessage(const std::string& message) {
  notify("FUNCTION: STDOUT: " + message, "LogMessage");
}

bool requestProgress(float percent) {
  pumpMessages();
  return exchange(progressRequestText(percent), "SetProgress") == "CONTINUE";
}

std::string requestSubmitInfoEntry(const std::string& key) {
  pumpMessages();
  const std::string answer = exchange("FUNCTION: GETSUBMITINFOENTRY " + key, "GetSubmitInfoEntry");
  return valueOf(answer, keyMissing(key));
}

int requestSubmitInfoEntryElementCount(const std::string& key) {
  pumpMessages();
  const std::string answer =
      exchange("FUNCTION: GETSUBMITINFOENTRYELEMENTCOUNT " + key, "GetSubmitInfoEntryElementCount");
  return boost::lexical_cast<int>(valueOf(answer, keyMissing(key)));
}

std::string requestSubmitInfoEntryElement(int index, const std::string& key) {
  pumpMessages();
  const std::string answer =
      exchange("FUNCTION: GETSUBMITINFOENTRYELEMENT " + std::to_string(index) + "," + key,
               "GetSubmitInfoEntryElement");
  return valueOf(answer, keyMissing(key));
}

std::string requestJobInfoEntry(const std::string& key) {
  pumpMessages();
  const std::string answer = exchange("FUNCTION: GETJOBINFOENTRY " + key, "GetJobInfoEntry");
  return valueOf(answer, keyMissing(key));
}

std::string requestAuxFilename(int index) {
  pumpMessages();
  const std::string answer =
      exchange("FUNCTION: GETAUXFILE " + std::to_string(index), "GetAuxFilename");
  return valueOf(answer, "Aux file requested doesn't exist");
}

}  // namespace moonstone
