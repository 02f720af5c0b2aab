// Mapped drives on POSIX: the stand-in maps a drive letter to the folder its variable names.
#include "support/mapped_drive.h"

#include "support/temp_folder.h"

#include <cstdlib>
#include <string>

struct MappedDrive::Cleanup {
  TempFolder folder;
};

MappedDrive::MappedDrive(char letter) : cleanup_(std::make_unique<Cleanup>()) {
  path_ = cleanup_->folder.path();
  const std::string variable = std::string("MAXSIM_DRIVE_") + letter;
  setenv(variable.c_str(), path_.c_str(), 1);
}

MappedDrive::~MappedDrive() = default;
