// The final replies of the plug-in's commands.
#include "controller/link/command_replies.h"

#include "controller/common/text.h"
#include "controller/link/protocol.h"

#include <set>

namespace controller {

namespace {

using namespace protocol;

/// The first field of a line, before any escaping could matter (command words have none).
std::string commandWord(const std::string& line) {
  return line.substr(0, line.find(','));
}

}  // namespace

bool isErrorReply(const std::string& reply) {
  return startsWith(reply, errorPrefix);
}

bool showsBadJob(const std::string& reply) {
  if (reply == rendererNotOpenedReply) return true;
  return startsWith(reply, frameTimePrefix) && reply.size() >= frameTimeSuffix.size() &&
         reply.compare(reply.size() - frameTimeSuffix.size(), frameTimeSuffix.size(),
                       frameTimeSuffix) == 0;
}

CommandReplies::CommandReplies(const std::string& line) {
  static const std::set<std::string> options = {"FrameNumberBase",     "RegionRendering",
                                                "UseJpegOutput",       "FailOnBlackFrames",
                                                "OutputImageFilename", "RestartRendererMode",
                                                "HideFrameBuffer",     "IgnoreMissingExternalFiles",
                                                "IgnoreMissingUVWs",   "IgnoreMissingDLLs",
                                                "IgnoreMissingXREFs",  "RemovePadding",
                                                "AlphaSplit",          continueAnswer};
  const std::string word = commandWord(line);
  if (word == startJobCommand) {
    kind_ = Kind::StartJob;
  } else if (word == renderTaskCommand) {
    kind_ = Kind::RenderTask;
  } else if (word == endJobCommand) {
    kind_ = Kind::EndJob;
  } else if (word == executeScriptCommand || word == executeStringScriptCommand) {
    kind_ = Kind::Script;
  } else if (options.count(word) > 0) {
    kind_ = Kind::Option;
  } else {
    kind_ = Kind::Other;
  }
  expectsReply_ = kind_ != Kind::Option;
}

bool CommandReplies::isFinal(const std::string& reply) {
  if (reply == startedReply) {
    started_ = true;
    return false;
  }
  switch (kind_) {
    case Kind::StartJob:
      // A failed start sends its error first and still ends with the output description.
      return startsWith(reply, successReply) ||
             (isErrorReply(reply) && startsWith(reply, startJobErrorPrefix));
    case Kind::RenderTask:
      // Before "STARTED" one error rejects the line; after it an error may precede the last.
      return reply == successReply || reply == saveFailedReply ||
             (!started_ && isErrorReply(reply));
    case Kind::EndJob:
      return reply == successReply;
    case Kind::Script:
    case Kind::Other:
    case Kind::Option:
      return true;
  }
  return true;
}

}  // namespace controller
