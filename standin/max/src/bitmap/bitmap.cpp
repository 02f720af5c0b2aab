// Bitmaps: pixel access, the frame-buffer window, copying with placement, and writing image files.
#include "max.h"

#include "bmmlib.h"

#include "bitmap/image_device.h"
#include "core/native_path.h"

#include <algorithm>
#include <vector>

namespace {
// What GetWindow returns while a bitmap is shown: the stand-in has one frame-buffer window.
HWND frameBufferWindow() {
  static int window;
  return reinterpret_cast<HWND>(&window);
}
}  // namespace

Bitmap::Bitmap(int width, int height, int type)
    : storage_(std::make_unique<BitmapStorage>(width, height, type)), type_(type) {}

Bitmap::~Bitmap() = default;

int Bitmap::GetPixels(int x, int y, int count, BMM_Color_fl* out) const {
  return storage_->GetPixels(x, y, count, out);
}

int Bitmap::PutPixels(int x, int y, int count, const BMM_Color_fl* in) {
  return storage_->PutPixels(x, y, count, in);
}

BOOL Bitmap::PrepareGChannels(BitmapInfo* bi) {
  if (!bi) return FALSE;
  gChannels_ = true;
  return TRUE;
}

BOOL Bitmap::Display(MCHAR*, int vpos, BOOL, BOOL, CropCallback*, Bitmap*) {
  if (vpos < BMM_UL || vpos > BMM_CN) return FALSE;
  displayed_ = true;
  return TRUE;
}

BOOL Bitmap::UnDisplay() {
  const bool wasShown = displayed_;
  displayed_ = false;
  return wasShown ? TRUE : FALSE;
}

HWND Bitmap::GetWindow() const {
  return displayed_ ? frameBufferWindow() : nullptr;
}

BOOL Bitmap::CopyImage(Bitmap* from, int operation, BMM_Color_fl fill, BitmapInfo* bi) {
  if (!from) return FALSE;
  int offsetX = 0, offsetY = 0;  // where from's (0, 0) lands in this bitmap
  if (operation == COPY_IMAGE_USE_CUSTOM) {
    if (bi && (bi->GetCustomFlags() & BMM_CUSTOM_POS)) {
      offsetX = bi->GetCustomX();
      offsetY = bi->GetCustomY();
    } else {
      offsetX = (Width() - from->Width()) / 2;
      offsetY = (Height() - from->Height()) / 2;
    }
  } else if (operation != COPY_IMAGE_CROP) {
    return FALSE;
  }
  std::vector<BMM_Color_fl> row(Width());
  for (int y = 0; y < Height(); ++y) {
    std::fill(row.begin(), row.end(), fill);
    const int sy = y - offsetY;
    if (sy >= 0 && sy < from->Height()) {
      const int first = std::max(0, offsetX);
      const int last = std::min(Width(), offsetX + from->Width());
      if (first < last) from->GetPixels(first - offsetX, sy, last - first, &row[first]);
    }
    PutPixels(0, y, Width(), row.data());
  }
  return TRUE;
}

BMMRES Bitmap::OpenOutput(BitmapInfo* bi) {
  if (!bi) return BMMRES_INVALIDUSAGE;
  if (!standin::deviceFor(*bi)) return BMMRES_NODRIVER;
  if (std::find(openOutputs_.begin(), openOutputs_.end(), bi) == openOutputs_.end()) {
    openOutputs_.push_back(bi);
  }
  return BMMRES_SUCCESS;
}

BMMRES Bitmap::Write(BitmapInfo* bi, int) {
  if (!bi || std::find(openOutputs_.begin(), openOutputs_.end(), bi) == openOutputs_.end()) {
    return BMMRES_INVALIDUSAGE;
  }
  const standin::ImageDevice* device = standin::deviceFor(*bi);
  if (!device) return BMMRES_NODRIVER;
  return device->write(*this, *bi, standin::native_path(bi->Name()));
}

int Bitmap::Close(BitmapInfo* bi, int) {
  auto open = std::find(openOutputs_.begin(), openOutputs_.end(), bi);
  if (open == openOutputs_.end()) return BMMRES_INVALIDUSAGE;
  openOutputs_.erase(open);
  return BMMRES_SUCCESS;
}

void Bitmap::DeleteThis() {
  delete this;
}
