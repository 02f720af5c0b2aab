// Image descriptions: defaults and device settings.
#include "max.h"

#include "bmmlib.h"

BitmapInfo::BitmapInfo()
    : width_(0),
      height_(0),
      aspect_(1.0f),
      type_(BMM_TRUE_64),
      flags_(0),
      customFlags_(0),
      customX_(0),
      customY_(0) {}

const MCHAR* BitmapInfo::GetDeviceSetting(const MCHAR* key) const {
  auto found = deviceSettings_.find(key ? key : "");
  return found == deviceSettings_.end() ? "" : found->second.data();
}

void BitmapInfo::SetDeviceSetting(const MCHAR* key, const MCHAR* value) {
  deviceSettings_[key ? key : ""] = value ? value : "";
}
