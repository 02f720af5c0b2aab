// The plug-in's requests: read once from their packet, and answered from the controller's data.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace controller {

/// One "FUNCTION: " packet, read once: what it asks and what the worker shows of it.
struct Request {
  enum class Kind {
    Title,
    Output,
    Progress,
    JobInfo,
    SubmitInfo,
    SubmitElementCount,
    SubmitElement,
    AuxFile,
    Unknown
  };
  Kind kind = Kind::Unknown;
  /// Title: the title text; Output: the line; Progress: the value as sent; a look-up: its
  /// argument (the key, "INDEX,KEY" for a list element, the index of an auxiliary file).
  std::string text;
  /// Progress: the percentage, or a negative value when the plug-in has none.
  float percent = -1;
  /// The packet as it came.
  std::string packet;

  /// True for the requests that take no answer (titles and script output).
  bool takesNoAnswer() const { return kind == Kind::Title || kind == Kind::Output; }
};

/// Reads a request packet (one that begins with "FUNCTION: "). A progress value that is not a
/// number counts as no percentage; a request word the controller does not know is Unknown.
Request classifyRequest(const std::string& packet);

/// True for a packet that is a request of the plug-in rather than a reply.
bool isRequest(const std::string& packet);

/// What a controller answers to the plug-in's requests.
struct RequestAnswers {
  /// Answer to every PROGRESS request ("CONTINUE" lets the work go on).
  std::string progressAnswer;
  std::map<std::string, std::string> jobInfo;
  std::map<std::string, std::string> submitInfo;
  /// Submission list entries: key -> elements (index 0 first).
  std::map<std::string, std::vector<std::string>> submitElements;
  std::vector<std::string> auxFiles;

  RequestAnswers();

  /// The packet to answer the request with, or nothing for requests that take no answer
  /// (SETTITLE, STDOUT). Unknown look-ups get a text without the "SUCCESS: " prefix.
  std::optional<std::string> answer(const Request& request) const;
};

}  // namespace controller
