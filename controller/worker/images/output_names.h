// Output file names as the plug-in forms them: which written file is the main image, where its
// JPEG preview goes, and what StartJob's reply says about the output.
#pragma once

#include <optional>
#include <string>

namespace worker {

/// The output description that ends a successful StartJob ("SUCCESS [filename] ...").
struct OutputDescription {
  std::string fileName;
  std::string format;
  int width = 0;
  int height = 0;
};

/// Reads the description from StartJob's last reply; fields it lacks stay empty or 0.
OutputDescription parseOutputDescription(const std::string& reply);

/// True when name is base itself or base numbered for a frame (digits, perhaps after a minus
/// sign, put before the extension): the main image among a frame's written files.
bool isNumberedFrom(const std::string& name, const std::string& base);

/// The preview the plug-in writes for the main image: the folder text glued to the image's file
/// name with its extension changed to .jpg.
std::string previewName(const std::string& folder, const std::string& mainImage);

/// The folder text for UseJpegOutput with a trailing backslash, so that the plug-in's plain
/// prefix makes a file inside the folder.
std::string previewFolder(const std::string& folder);

}  // namespace worker
