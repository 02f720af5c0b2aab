// Writing a frame's images through the bitmap manager and checking them on disk; the output
// folder; the description of a job's output.
#pragma once

#include "render/render_job.h"

#include <max.h>

#include <bmmlib.h>

#include <string>

namespace moonstone {

/// Writes bm to the file and device that bi names, checks that the file (and with alphaSplit its
/// "A_" companion) exists, and appends the name(s) to job.writtenFiles. Throws std::runtime_error.
void WriteOutputImage(RenderJob& job, Bitmap* bm, BitmapInfo* bi);
/// Writes a JPEG copy of the frame under job.jpegOutputPath (a plain prefix) + the output's file
/// name with the extension ".jpg". Not recorded in writtenFiles. Throws std::runtime_error.
void WriteJpegPreview(RenderJob& job, Bitmap* bm, BitmapInfo* frameInfo);
/// Creates the folder of bi's file name when it is not an existing folder; creation failures
/// show up when the file is written.
void CreateOutputPath(RenderJob& job, BitmapInfo* bi);
/// "[filename] ", "[format] ", "[size] " and "[aspect] " lines describing job.outputInfo.
std::string DescribeOutput(RenderJob& job);

}  // namespace moonstone
