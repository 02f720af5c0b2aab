// Bitmaps and the bitmap manager: image descriptions, pixel storage, image files.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include "maxtypes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

/// Bitmap types (BitmapInfo::Type). Pixels are read and written as floating-point RGBA whatever
/// the type; the type says how deep they are held (see BitmapStorage) and what image files keep.
#define BMM_NO_TYPE 0
#define BMM_GRAY_8 3
#define BMM_TRUE_32 6
#define BMM_TRUE_64 7
#define BMM_TRUE_24 8
#define BMM_FLOAT_RGBA_32 17

/// BitmapInfo flags.
#define MAP_HAS_ALPHA 0x00000002u

/// Custom flag: CopyImage with COPY_IMAGE_USE_CUSTOM puts the source's pixel (0, 0) at the
/// destination's (CustomX, CustomY); without it the source is centred.
#define BMM_CUSTOM_POS 0x00000008u

/// CopyImage operations.
#define COPY_IMAGE_CROP 0
#define COPY_IMAGE_USE_CUSTOM 3

/// Frame argument of Bitmap::Write for a single image.
#define BMM_SINGLEFRAME (-2000000)
/// Bitmap::Close flags.
#define BMM_CLOSE_COMPLETE 0
#define BMM_CLOSE_ABANDON 1

/// Frame-buffer window positions for Bitmap::Display.
#define BMM_UL 1
#define BMM_LL 2
#define BMM_UR 3
#define BMM_LR 4
#define BMM_CN 5

/// Results of the output operations: 0 is success, anything else an error code.
typedef WORD BMMRES;
#define BMMRES_SUCCESS 0
#define BMMRES_FILENOTFOUND 2
#define BMMRES_MEMORYERROR 3
#define BMMRES_NODRIVER 4
#define BMMRES_IOERROR 5
#define BMMRES_INVALIDUSAGE 9
#define BMMRES_INTERNALERROR 12

/// Device settings understood by the image devices (BitmapInfo::SetDeviceSetting).
/// Targa: "alpha split" = "1" also writes the alpha channel as a grey image named "A_" + the file
/// name, in the same folder.
#define BMM_SETTING_ALPHA_SPLIT "alpha split"

/// One floating-point RGBA colour; components nominally 0..1.
struct BMM_Color_fl {
  BMM_Color_fl() : r(0), g(0), b(0), a(0) {}
  BMM_Color_fl(float red, float green, float blue, float alpha)
      : r(red), g(green), b(blue), a(alpha) {}
  float r, g, b, a;
};

/// Describes an image: its file name and the device that writes it, size, aspect, type, flags,
/// placement options for CopyImage, and device settings. A value type.
class BMMExport BitmapInfo {
 public:
  BitmapInfo();

  const MCHAR* Name() const { return name_.data(); }
  void SetName(const MCHAR* name) { name_ = name ? name : ""; }
  /// The device's name: set explicitly, or "" to let the file name's extension choose it.
  const MCHAR* Device() { return device_.data(); }
  void SetDevice(const MCHAR* device) { device_ = device ? device : ""; }

  WORD Width() { return width_; }
  WORD Height() { return height_; }
  void SetWidth(WORD width) { width_ = width; }
  void SetHeight(WORD height) { height_ = height; }
  float Aspect() { return aspect_; }
  void SetAspect(float aspect) { aspect_ = aspect; }
  int Type() const { return type_; }
  void SetType(int type) { type_ = type; }

  DWORD Flags() const { return flags_; }
  /// Adds the given flags.
  void SetFlags(DWORD flags) { flags_ |= flags; }
  void ResetFlags(DWORD flags) { flags_ &= ~flags; }

  DWORD GetCustomFlags() const { return customFlags_; }
  /// Adds the given custom flags.
  void SetCustomFlag(DWORD flags) { customFlags_ |= flags; }
  void ResetCustomFlag(DWORD flags) { customFlags_ &= ~flags; }
  int GetCustomX() const { return customX_; }
  int GetCustomY() const { return customY_; }
  void SetCustomX(int x) { customX_ = x; }
  void SetCustomY(int y) { customY_ = y; }

  /// A device setting by name ("" when not set).
  const MCHAR* GetDeviceSetting(const MCHAR* key) const;
  void SetDeviceSetting(const MCHAR* key, const MCHAR* value);

  /// Becomes a copy of `from`: name, device, device settings and every other field.
  void Copy(const BitmapInfo* from) { *this = *from; }

 private:
  MSTR name_;
  MSTR device_;
  WORD width_;
  WORD height_;
  float aspect_;
  int type_;
  DWORD flags_;
  DWORD customFlags_;
  int customX_;
  int customY_;
  std::map<MSTR, MSTR> deviceSettings_;
};

/// The pixels of a bitmap, held as deep as its type: a BMM_FLOAT_RGBA_32 bitmap keeps every
/// float; every other type keeps each channel as a 16-bit level, round(v * 65535) of v clamped to
/// 0..1 (NaN as 0), read back as level / 65535.
class BMMExport BitmapStorage {
 public:
  BitmapStorage(int width, int height, int type);
  int Width() const { return width_; }
  int Height() const { return height_; }
  /// Reads `count` pixels of row y from column x on; FALSE (nothing read) when they are not all
  /// inside the image.
  int GetPixels(int x, int y, int count, BMM_Color_fl* out) const;
  /// Writes `count` pixels into row y from column x on; FALSE (nothing written) when they are not
  /// all inside the image.
  int PutPixels(int x, int y, int count, const BMM_Color_fl* in);

 private:
  int width_;
  int height_;
  // Exactly one of the two holds the pixels; levels are red, green, blue and alpha of each pixel.
  std::vector<BMM_Color_fl> floatPixels_;
  std::vector<uint16_t> levels_;
};

class CropCallback;

/// An image in memory. Created by TheManager->Create, released with DeleteThis.
class BMMExport Bitmap {
 public:
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  BitmapStorage* Storage() { return storage_.get(); }
  int Width() const { return storage_->Width(); }
  int Height() const { return storage_->Height(); }
  int Type() const { return type_; }
  /// As BitmapStorage::GetPixels / PutPixels.
  int GetPixels(int x, int y, int count, BMM_Color_fl* out) const;
  int PutPixels(int x, int y, int count, const BMM_Color_fl* in);

  /// Sets up the G-buffer channels that `bi` asks for; TRUE on success.
  BOOL PrepareGChannels(BitmapInfo* bi);
  BOOL HasGChannels() const { return gChannels_; }

  /// Shows the bitmap in the frame-buffer window at position `vpos` (BMM_UL..BMM_CN).
  BOOL Display(MCHAR* title = nullptr, int vpos = BMM_CN, BOOL autonomous = FALSE,
               BOOL savebutton = TRUE, CropCallback* crop = nullptr, Bitmap* cloneMyVFB = nullptr);
  /// Takes the bitmap out of the frame-buffer window.
  BOOL UnDisplay();
  /// The frame-buffer window while the bitmap is shown, else null.
  HWND GetWindow() const;

  /// Fills this bitmap from `from`. COPY_IMAGE_CROP puts from's (0, 0) at (0, 0);
  /// COPY_IMAGE_USE_CUSTOM places it by bi's custom options (see BMM_CUSTOM_POS). Pixels that
  /// `from` does not cover get `fill`. FALSE for another operation or a missing bitmap.
  BOOL CopyImage(Bitmap* from, int operation, BMM_Color_fl fill, BitmapInfo* bi = nullptr);

  /// Prepares writing to bi's file with the device its Device() or extension names.
  /// BMMRES_NODRIVER when no device handles it.
  BMMRES OpenOutput(BitmapInfo* bi);
  /// Writes the image file (frame: BMM_SINGLEFRAME). BMMRES_INVALIDUSAGE without OpenOutput,
  /// BMMRES_IOERROR when the file cannot be written (its folder missing, for instance; no folder
  /// is ever created here).
  BMMRES Write(BitmapInfo* bi, int frame = BMM_SINGLEFRAME);
  /// Ends the output opened for bi.
  int Close(BitmapInfo* bi, int flag = BMM_CLOSE_COMPLETE);

  /// Releases the bitmap (and takes it out of the frame-buffer window).
  void DeleteThis();

 private:
  friend class BitmapManager;
  Bitmap(int width, int height, int type);
  ~Bitmap();

  std::unique_ptr<BitmapStorage> storage_;
  int type_;
  bool gChannels_ = false;
  bool displayed_ = false;
  std::vector<const BitmapInfo*> openOutputs_;
};

/// Creates bitmaps.
class BMMExport BitmapManager {
 public:
  /// A new bitmap of bi's width, height and type, all pixels transparent black; null when the
  /// width or height is 0. The caller releases it with DeleteThis.
  Bitmap* Create(BitmapInfo* bi);
};

/// The host's bitmap manager.
extern BMMExport BitmapManager* TheManager;

/// Puts the frame number into a file name: at least four digits (more when needed) right before
/// the extension: "C:\out\shot.tga", 5 -> "C:\out\shot0005.tga"; 12345 -> "shot12345.tga"; a
/// name without an extension gets the number at its end. A negative number keeps its sign
/// before the digits: -5 -> "shot-0005.tga". `nameout` must hold MAX_PATH characters; when the
/// result would not fit it is set to "". TRUE when the name was made.
BMMExport int BMMCreateNumberedFilename(const MCHAR* namein, int frame, MCHAR* nameout);
