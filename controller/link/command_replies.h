// Which reply ends a command: the plug-in's final replies per command word.
#pragma once

#include <string>

namespace controller {

/// Follows the replies of one command line and says when its last reply has come.
class CommandReplies {
 public:
  /// For the command line as sent (its first field decides).
  explicit CommandReplies(const std::string& line);

  /// False for the option commands, which the plug-in never answers.
  bool expectsReply() const { return expectsReply_; }
  /// Takes one reply (not a request) and returns true when it is the command's last.
  bool isFinal(const std::string& reply);

 private:
  enum class Kind { Option, StartJob, RenderTask, EndJob, Script, Other };
  Kind kind_;
  bool expectsReply_;
  bool started_ = false;
};

/// True for replies that report a failure ("ERROR: ...").
bool isErrorReply(const std::string& reply);

/// True for a frame's error replies that show the job itself is wrong, so that the frame fails
/// the same on every try and on every machine (docs/worker.md lists them).
bool showsBadJob(const std::string& reply);

}  // namespace controller
