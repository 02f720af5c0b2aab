// Image formats from extensions and signatures: downstream tools trust the extension.
#include "controller/worker/images/image_format.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace worker {

std::string formatOfName(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string extension = path.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == "tga") return "Targa";
  if (extension == "png") return "PNG";
  if (extension == "jpg" || extension == "jpeg") return "JPEG";
  if (extension == "bmp") return "BMP";
  if (extension == "exr") return "OpenEXR";
  return "";
}

std::string formatOfContent(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "";
  unsigned char head[8] = {};
  in.read(reinterpret_cast<char*>(head), sizeof head);
  const auto got = in.gcount();
  auto starts = [&](std::initializer_list<unsigned char> signature) {
    return got >= static_cast<std::streamsize>(signature.size()) &&
           std::equal(signature.begin(), signature.end(), head);
  };
  if (starts({0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'})) return "PNG";
  if (starts({0xff, 0xd8, 0xff})) return "JPEG";
  if (starts({'B', 'M'})) return "BMP";
  if (starts({0x76, 0x2f, 0x31, 0x01})) return "OpenEXR";
  return "Targa";
}

std::string formatMismatch(const std::string& path) {
  const std::string named = formatOfName(path);
  if (named.empty()) return "";
  const std::string held = formatOfContent(path);
  if (held.empty() || held == named) return "";
  return "holds " + held + " data but is named as " + named;
}

}  // namespace worker
