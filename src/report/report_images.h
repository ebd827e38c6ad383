// The four images of the report directory: home icon, help icon, logo and
// a transparent spacer, each a GIF file of a fixed size and dimension.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vorel {

struct ReportImage {
  const char* name;        // file name in the report directory
  size_t size;             // exact file size in bytes
  int width, height;
  std::string bytes;       // the whole file
};

// __Home.gif (977 bytes, 19x20; bytes 76..780 are zero), __Help.gif (187,
// 19x20), __VorelR.gif (1,414, 66x45, GIF87a), __Spacer.gif (43, 1x1).
const std::vector<ReportImage>& report_images();

enum class ImageWrite { kWritten, kNotCreated, kWriteFailed };

// Writes `image` to `path`. kNotCreated: the file could not be created (the
// caller prints its message); kWriteFailed: writing it failed ("ERROR:
// writing file %s failed." is printed).
ImageWrite write_image_file(const ReportImage& image, const std::string& path);

}  // namespace vorel
