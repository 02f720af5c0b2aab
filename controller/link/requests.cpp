// Reading the plug-in's requests and answering them from the controller's tables.
#include "controller/link/requests.h"

#include "controller/common/text.h"
#include "controller/link/protocol.h"

#include <boost/lexical_cast.hpp>

#include <utility>

namespace controller {

namespace {

using namespace protocol;

std::optional<std::string> lookUp(const std::map<std::string, std::string>& table,
                                  const std::string& key) {
  const auto found = table.find(key);
  if (found == table.end()) return errorPrefix + "no entry " + key;
  return successPrefix + found->second;
}

/// The index as a position in a list of `size`, or nothing when it is not one.
std::optional<size_t> indexIn(const std::string& text, size_t size) {
  try {
    const int index = boost::lexical_cast<int>(text);
    if (index >= 0 && static_cast<size_t>(index) < size) return static_cast<size_t>(index);
  } catch (const boost::bad_lexical_cast&) {
  }
  return std::nullopt;
}

}  // namespace

bool isRequest(const std::string& packet) {
  return startsWith(packet, requestPrefix);
}

Request classifyRequest(const std::string& packet) {
  // The longer words first: GETSUBMITINFOENTRY is a prefix of the element requests.
  static const std::pair<const std::string*, Request::Kind> words[] = {
      {&titleRequest, Request::Kind::Title},
      {&outputRequest, Request::Kind::Output},
      {&progressRequest, Request::Kind::Progress},
      {&jobInfoRequest, Request::Kind::JobInfo},
      {&submitElementCountRequest, Request::Kind::SubmitElementCount},
      {&submitElementRequest, Request::Kind::SubmitElement},
      {&submitInfoRequest, Request::Kind::SubmitInfo},
      {&auxFileRequest, Request::Kind::AuxFile}};
  const std::string body =
      startsWith(packet, requestPrefix) ? packet.substr(requestPrefix.size()) : packet;
  Request request;
  request.packet = packet;
  request.text = body;
  for (const auto& [word, kind] : words) {
    if (!startsWith(body, *word)) continue;
    request.kind = kind;
    request.text = body.substr(word->size());
    break;
  }
  if (request.kind == Request::Kind::Progress) {
    try {
      request.percent = boost::lexical_cast<float>(request.text);
    } catch (const boost::bad_lexical_cast&) {
      request.percent = -1;
    }
  }
  return request;
}

RequestAnswers::RequestAnswers() : progressAnswer(continueAnswer) {}

std::optional<std::string> RequestAnswers::answer(const Request& request) const {
  const std::string& argument = request.text;
  switch (request.kind) {
    case Request::Kind::Title:
    case Request::Kind::Output:
      return std::nullopt;
    case Request::Kind::Progress:
      return progressAnswer;
    case Request::Kind::JobInfo:
      return lookUp(jobInfo, argument);
    case Request::Kind::SubmitInfo:
      return lookUp(submitInfo, argument);
    case Request::Kind::SubmitElementCount: {
      const auto found = submitElements.find(argument);
      if (found == submitElements.end()) return errorPrefix + "no entry " + argument;
      return successPrefix + std::to_string(found->second.size());
    }
    case Request::Kind::SubmitElement: {
      const auto comma = argument.find(',');
      if (comma == std::string::npos) return errorPrefix + "malformed request";
      const std::string key = argument.substr(comma + 1);
      const auto found = submitElements.find(key);
      if (found == submitElements.end()) return errorPrefix + "no entry " + key;
      const auto index = indexIn(argument.substr(0, comma), found->second.size());
      if (!index) return errorPrefix + "no entry " + key;
      return successPrefix + found->second[*index];
    }
    case Request::Kind::AuxFile: {
      const auto index = indexIn(argument, auxFiles.size());
      if (!index) return errorPrefix + "no aux file " + argument;
      return successPrefix + auxFiles[*index];
    }
    case Request::Kind::Unknown:
      break;
  }
  return errorPrefix + "unknown request";
}

}  // namespace controller
