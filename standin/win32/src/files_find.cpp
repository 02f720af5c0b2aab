// Folder searches with Windows wildcards over POSIX directory listings.
#include "files_posix.h"

#include "win32/drive_map.h"
#include "win32/kernel.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace {

// A search holds every match from the moment it starts, so later changes to the folder do not
// disturb it.
struct Search {
  std::vector<WIN32_FIND_DATAA> matches;
  size_t next = 0;
};

// The searches not yet closed, so that a stale or foreign handle is refused instead of used.
std::mutex searchesMutex;
std::set<Search*> openSearches;

bool same_letter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// "*" matches any run of characters, "?" one character; after a mismatch the last "*" takes one
// more character and matching resumes from there.
bool matches(const std::string& pattern, const std::string& name) {
  size_t p = 0, n = 0;
  size_t starPattern = std::string::npos, starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starPattern = p++;
      starName = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || same_letter(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (starPattern != std::string::npos) {
      p = starPattern + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

WIN32_FIND_DATAA find_data(const std::string& name, const struct stat& status) {
  const standin::detail::file_record record = standin::detail::record_of(status);
  WIN32_FIND_DATAA data{};
  data.dwFileAttributes = record.attributes;
  data.ftCreationTime = record.creation;
  data.ftLastAccessTime = record.lastAccess;
  data.ftLastWriteTime = record.lastWrite;
  data.nFileSizeHigh = record.sizeHigh;
  data.nFileSizeLow = record.sizeLow;
  std::strncpy(data.cFileName, name.c_str(), MAX_PATH - 1);
  return data;
}

// Splits a pattern into the folder to list (as a Windows path) and the name pattern after it.
void split_pattern(const std::string& pattern, std::string& folder, std::string& namePattern) {
  const size_t separator = pattern.find_last_of("\\/");
  const bool drive = pattern.size() >= 2 && pattern[1] == ':';
  size_t nameStart = 0;
  if (separator != std::string::npos) {
    nameStart = separator + 1;
  } else if (drive) {
    nameStart = 2;
  }
  folder = nameStart == 0 ? "." : pattern.substr(0, nameStart);
  namePattern = pattern.substr(nameStart);
}

}  // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
  if (data == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const auto posixPattern = standin::detail::reachable_posix_path(pattern);
  if (!posixPattern) return INVALID_HANDLE_VALUE;
  std::string folder, namePattern;
  split_pattern(pattern, folder, namePattern);
  if (namePattern.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  const std::string posixFolder = standin::posix_path(folder);

  std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(posixFolder.c_str()), closedir);
  if (!listing) {
    standin::detail::set_error_from_errno(errno, *posixPattern);
    return INVALID_HANDLE_VALUE;
  }
  auto search = std::make_unique<Search>();
  while (const dirent* entry = readdir(listing.get())) {
    const std::string name = entry->d_name;
    struct stat status {};
    // An entry that vanished or cannot be looked at since the listing was read is left out.
    if (matches(namePattern, name) && stat((posixFolder + "/" + name).c_str(), &status) == 0)
      search->matches.push_back(find_data(name, status));
  }
  if (search->matches.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::sort(search->matches.begin(), search->matches.end(),
            [](const WIN32_FIND_DATAA& a, const WIN32_FIND_DATAA& b) {
              return std::strcmp(a.cFileName, b.cFileName) < 0;
            });
  *data = search->matches[0];
  search->next = 1;
  std::lock_guard<std::mutex> lock(searchesMutex);
  return *openSearches.insert(search.release()).first;
}

BOOL WINAPI FindNextFileA(HANDLE handle, LPWIN32_FIND_DATAA data) {
  std::lock_guard<std::mutex> lock(searchesMutex);
  const auto found = openSearches.find(static_cast<Search*>(handle));
  if (found == openSearches.end() || data == nullptr) {
    SetLastError(found == openSearches.end() ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Search& search = **found;
  if (search.next >= search.matches.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  *data = search.matches[search.next++];
  return TRUE;
}

BOOL WINAPI FindClose(HANDLE handle) {
  std::lock_guard<std::mutex> lock(searchesMutex);
  const auto found = openSearches.find(static_cast<Search*>(handle));
  if (found == openSearches.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  delete *found;
  openSearches.erase(found);
  return TRUE;
}
