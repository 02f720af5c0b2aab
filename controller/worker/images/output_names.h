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

/// The name the plug-in gives a frame's file: the number (four digits at least, a minus sign
/// before a negative one) put before the extension of base.
std::string numberedName(const std::string& base, long long number);

/// The base a numbered name came from: the name without the number before its extension, or the
/// name itself when it does not carry that number.
std::string unnumberedName(const std::string& name, long long number);

/// The alpha file that --alpha-split asks for beside an image: "A_" before its file name.
std::string alphaCompanion(const std::string& name);

/// The preview the plug-in writes for the main image: the folder text glued to the image's file
/// name with its extension changed to .jpg.
std::string previewName(const std::string& folder, const std::string& mainImage);

/// The folder text for UseJpegOutput with a trailing backslash, so that the plug-in's plain
/// prefix makes a file inside the folder.
std::string previewFolder(const std::string& folder);

}  // namespace worker
