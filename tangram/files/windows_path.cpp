// Parsing and taking apart Windows paths by Windows file-name rules.
#include "tangram/files/windows_path.h"

#include <cctype>

namespace tangram::files {
namespace {

bool is_separator(char c) {
  return c == '\\' || c == '/';
}

void check_name(const std::string& name, const std::string& path) {
  if (!is_windows_name(name))
    throw path_name_error("invalid name \"" + name + "\" in path: \"" + path + "\"");
}

}  // namespace

bool is_windows_name(const std::string& name) {
  if (name.empty()) return false;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (std::string("<>:\"/\\|?*").find(c) != std::string::npos) return false;
  }
  if (name == "." || name == "..") return true;
  return name.back() != ' ' && name.back() != '.';
}

windows_path::windows_path(const std::string& text) {
  size_t i = 0;
  if (text.size() >= 2 && text[1] == ':' && std::isalpha(static_cast<unsigned char>(text[0]))) {
    root_name_ = text.substr(0, 2);
    i = 2;
  } else if (text.size() >= 2 && is_separator(text[0]) && is_separator(text[1])) {
    i = 2;
    std::string server;
    while (i < text.size() && !is_separator(text[i])) server += text[i++];
    check_name(server, text);
    root_name_ = "\\\\" + server;
  }
  if (i < text.size() && is_separator(text[i])) {
    root_folder_ = true;
    ++i;
  }
  while (i < text.size()) {
    size_t end = i;
    while (end < text.size() && !is_separator(text[end])) ++end;
    std::string name = text.substr(i, end - i);
    check_name(name, text);
    names_.push_back(std::move(name));
    // Step over the one separator after the name; a second one starts an empty name.
    i = end < text.size() ? end + 1 : end;
  }
}

windows_path windows_path::branch_path() const {
  windows_path branch = *this;
  if (!branch.names_.empty()) {
    branch.names_.pop_back();
  } else if (branch.root_folder_) {
    branch.root_folder_ = false;
  } else {
    branch.root_name_.clear();
  }
  return branch;
}

std::string windows_path::leaf() const {
  if (!names_.empty()) return names_.back();
  return root_folder_ ? "\\" : root_name_;
}

std::string windows_path::native_file_string() const {
  std::string text = root_name_;
  if (root_folder_) text += '\\';
  for (size_t i = 0; i < names_.size(); ++i) {
    if (i > 0) text += '\\';
    text += names_[i];
  }
  return text;
}

windows_path operator/(const windows_path& path, const std::string& name) {
  windows_path joined = path;
  check_name(name, (path.empty() ? "" : path.native_file_string() + "\\") + name);
  joined.names_.push_back(name);
  return joined;
}

}  // namespace tangram::files
