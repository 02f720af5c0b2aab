// Writing a frame's images through the bitmap manager, checked on disk; the output folder; the
// description of the job's output.
#include "render/output_writing.h"

#include "log/log_stream.h"
#include "tangram/files/file_names.h"
#include "tangram/files/file_system.h"

#include <windows.h>

#include <sstream>
#include <stdexcept>

namespace moonstone {

using tangram::files::file_exists;

namespace {

std::string quoted(const std::string& text) {
  return "\"" + text + "\"";
}

/// Writes bm to the file `name` that bi describes and checks that the file is there: the bitmap
/// manager may report success for a device that wrote nothing.
void writeImageFile(Bitmap* bm, BitmapInfo* bi, const std::string& name) {
  BMMRES result = bm->OpenOutput(bi);
  if (result != BMMRES_SUCCESS) {
    throw std::runtime_error("Error in bm->OpenOutput(): error code " + std::to_string(result));
  }
  result = bm->Write(bi, BMM_SINGLEFRAME);
  if (result != BMMRES_SUCCESS) {
    throw std::runtime_error("Error in bm->Write(): error code " + std::to_string(result));
  }
  bm->Close(bi, BMM_CLOSE_COMPLETE);
  if (!file_exists(name)) {
    throw std::runtime_error("bm->Write() returned success, but the output file, " + quoted(name) +
                             " did not exist.");
  }
}

}  // namespace

void WriteOutputImage(RenderJob& job, Bitmap* bm, BitmapInfo* bi) {
  const std::string name = bi->Name();
  const std::string alphaName =
      tangram::files::ensure_trailing_backslash(tangram::files::parent_directory(name)) + "A_" +
      tangram::files::leaf_name(name);
  logStream << "writing to output file: " << name << std::endl;
  if (job.alphaSplit) {
    logStream << "Alpha Split feature (tga) is enabled, need to save " << alphaName << std::endl;
  }
  writeImageFile(bm, bi, name);
  if (job.alphaSplit && !file_exists(alphaName)) {
    throw std::runtime_error(
        "bm->Write() returned success, but the Alpha Split feature (tga) is enabled, and the "
        "output file, " +
        quoted(alphaName) + " did not exist.");
  }
  job.writtenFiles.push_back(name);
  if (job.alphaSplit) job.writtenFiles.push_back(alphaName);
}

void WriteJpegPreview(RenderJob& job, Bitmap* bm, BitmapInfo* frameInfo) {
  const std::string previewName =
      job.jpegOutputPath +
      tangram::files::leaf_name(tangram::files::change_extension(frameInfo->Name(), ".jpg"));
  logStream << "writing jpeg output to temp file: " << previewName << std::endl;
  // A fresh description of the full frame; no device, so that the ".jpg" picks the JPEG writer.
  BitmapInfo preview;
  job.prepareOutputInfo(preview);
  preview.SetName(previewName.c_str());
  writeImageFile(bm, &preview, previewName);
}

void CreateOutputPath(RenderJob&, BitmapInfo* bi) {
  const std::string folder = tangram::files::parent_directory(bi->Name());
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(folder.c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    FindClose(search);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
  }
  logStream << "creating output path: " << folder << std::endl;
  tangram::files::make_directories(folder);
}

std::string DescribeOutput(RenderJob& job) {
  BitmapInfo& info = job.outputInfo;
  std::ostringstream text;
  text << "[filename] " << info.Name() << "\n"
       << "[format] " << info.Device() << "\n"
       << "[size] " << info.Width() << "x" << info.Height() << "\n"
       << "[aspect] " << info.Aspect() << "\n";
  return text.str();
}

}  // namespace moonstone
