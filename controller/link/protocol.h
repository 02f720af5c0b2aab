// The words of the wire between the controller and the plug-in, named once for the controller.
#pragma once

#include <string>

namespace controller::protocol {

/// The controller's greeting, sent once the plug-in's token is right.
inline const std::string greeting = "FoxgloveStartup";

/// The plug-in's version line, its answer to the greeting, begins with this; a plug-in built
/// against another protocol says so in that line.
inline const std::string versionPrefix = "Moonstone ";
inline const std::string incompatibleVersions = "Incompatible plugin versions detected";

/// Every request of the plug-in begins with this; what follows is the request word.
inline const std::string requestPrefix = "FUNCTION: ";
/// The request words (each followed by its argument).
inline const std::string titleRequest = "SETTITLE ";
inline const std::string outputRequest = "STDOUT: ";
inline const std::string progressRequest = "PROGRESS ";
inline const std::string jobInfoRequest = "GETJOBINFOENTRY ";
inline const std::string submitInfoRequest = "GETSUBMITINFOENTRY ";
inline const std::string submitElementCountRequest = "GETSUBMITINFOENTRYELEMENTCOUNT ";
inline const std::string submitElementRequest = "GETSUBMITINFOENTRYELEMENT ";
inline const std::string auxFileRequest = "GETAUXFILE ";

/// The answer to a progress request that lets the work go on.
inline const std::string continueAnswer = "CONTINUE";

/// Replies: success, with or without a value; a failure; a render under way.
inline const std::string successReply = "SUCCESS";
inline const std::string successPrefix = "SUCCESS: ";
inline const std::string errorPrefix = "ERROR: ";
inline const std::string startedReply = "STARTED";
/// The output description after a successful StartJob ("SUCCESS [filename] ...").
inline const std::string outputDescriptionPrefix = "SUCCESS ";
/// A failed StartJob's error, which ends it.
inline const std::string startJobErrorPrefix = "ERROR: StartJob: ";
/// The error that ends a RenderTask whose image could not be written.
inline const std::string saveFailedReply = "ERROR: Failed to save file.";
/// Error replies of a frame that show the job itself is wrong: they come again on every try.
/// The renderer does not open (the camera given is no camera), and a frame the host cannot
/// place in time ("ERROR: Frame N lies outside the host's time range").
inline const std::string rendererNotOpenedReply = "ERROR: Failed to open the max renderer.";
inline const std::string frameTimePrefix = "ERROR: Frame ";
inline const std::string frameTimeSuffix = " lies outside the host's time range";

/// The first line of a crash the plug-in trapped; its fault report follows on the next lines.
inline const std::string trappedPrefix = "ERROR: Trapped SEH Exception in ";

/// The command words the controller sends.
inline const std::string startJobCommand = "StartJob";
inline const std::string renderTaskCommand = "RenderTask";
inline const std::string endJobCommand = "EndJob";
inline const std::string executeScriptCommand = "ExecuteScript";
inline const std::string executeStringScriptCommand = "ExecuteStringScript";

}  // namespace controller::protocol
