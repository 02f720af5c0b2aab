// Output names: the StartJob description, numbered main images and preview names.
#include "controller/worker/images/output_names.h"

#include <cstdio>
#include <cstdlib>

#include "controller/common/text.h"
#include "controller/link/protocol.h"

#include <cctype>
#include <sstream>

namespace worker {

namespace {

size_t leafStart(const std::string& path) {
  const size_t separator = path.find_last_of("/\\");
  return separator == std::string::npos ? 0 : separator + 1;
}

/// Where the extension of the file name begins (its dot), or the end of the name.
size_t extensionStart(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  return dot == std::string::npos || dot < leafStart(path) ? path.size() : dot;
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

OutputDescription parseOutputDescription(const std::string& reply) {
  OutputDescription description;
  std::istringstream lines(
      controller::startsWith(reply, controller::protocol::outputDescriptionPrefix)
          ? reply.substr(controller::protocol::outputDescriptionPrefix.size())
          : reply);
  std::string line;
  while (std::getline(lines, line)) {
    if (controller::startsWith(line, "[filename] ")) {
      description.fileName = line.substr(11);
    } else if (controller::startsWith(line, "[format] ")) {
      description.format = line.substr(9);
    } else if (controller::startsWith(line, "[size] ")) {
      std::istringstream size(line.substr(7));
      char x = 0;
      int width = 0;
      int height = 0;
      if (size >> width >> x >> height && x == 'x') {
        description.width = width;
        description.height = height;
      }
    }
  }
  return description;
}

namespace {

std::string frameDigits(long long number) {
  char digits[24];
  std::snprintf(digits, sizeof digits, "%s%04lld", number < 0 ? "-" : "", std::llabs(number));
  return digits;
}

}  // namespace

std::string numberedName(const std::string& base, long long number) {
  const size_t dot = extensionStart(base);
  return base.substr(0, dot) + frameDigits(number) + base.substr(dot);
}

std::string unnumberedName(const std::string& name, long long number) {
  const std::string digits = frameDigits(number);
  const size_t dot = extensionStart(name);
  if (dot < digits.size() || name.compare(dot - digits.size(), digits.size(), digits) != 0)
    return name;
  return name.substr(0, dot - digits.size()) + name.substr(dot);
}

std::string alphaCompanion(const std::string& name) {
  const size_t leaf = leafStart(name);
  return name.substr(0, leaf) + "A_" + name.substr(leaf);
}

bool isNumberedFrom(const std::string& name, const std::string& base) {
  if (base.empty()) return false;
  const size_t nameDot = extensionStart(name);
  const size_t baseDot = extensionStart(base);
  if (!sameIgnoringCase(name.substr(nameDot), base.substr(baseDot))) return false;
  if (name.compare(0, baseDot, base, 0, baseDot) != 0) return false;
  std::string digits = name.substr(baseDot, nameDot - baseDot);
  if (digits.empty()) return true;
  if (digits[0] == '-') digits.erase(0, 1);
  if (digits.size() < 4) return false;
  for (const char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string previewName(const std::string& folder, const std::string& mainImage) {
  const size_t leaf = leafStart(mainImage);
  return folder + mainImage.substr(leaf, extensionStart(mainImage) - leaf) + ".jpg";
}

std::string previewFolder(const std::string& folder) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder;
  return folder + "\\";
}

}  // namespace worker
