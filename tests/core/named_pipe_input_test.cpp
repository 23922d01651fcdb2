// A named pipe among the pictures of a folder: every reader the folder scan or a viewer
// may call on it must give up at once instead of waiting for a writer.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "core/exif_segment.h"
#include "core/exif_thumbnail.h"
#include "core/hdr_image.h"
#include "core/header_probe.h"
#include "core/image_load.h"
#include "core/jpeg_thumb.h"
#include "tests/support/temp_dir.h"

namespace {

struct Pipe_reader {
  const char* name;
  const char* file;
  // True when the reader refused the pipe (threw or returned nothing).
  std::function<bool(const std::string&)> refuses;
};

template <typename F>
bool throws(F f) {
  try {
    f();
  } catch (const std::exception&) {
    return true;
  }
  return false;
}

bool load_refuses(const std::string& path, uint32_t type) {
  return throws([&] {
    Hdr_image img;
    load_image(img, path, type);
  });
}

bool probe_refuses(void (*probe)(const std::string&, uint32_t&, uint32_t&),
                   const std::string& path) {
  return throws([&] {
    uint32_t w, h;
    probe(path, w, h);
  });
}

const Pipe_reader k_readers[] = {
    {"load_rgbe", "a.hdr", [](const std::string& p) { return load_refuses(p, k_type_rgbe); }},
    {"load_exr", "a.exr", [](const std::string& p) { return load_refuses(p, k_type_exr); }},
    {"load_png", "a.png", [](const std::string& p) { return load_refuses(p, k_type_png); }},
    {"load_jpeg", "a.jpg", [](const std::string& p) { return load_refuses(p, k_type_jpeg); }},
    {"load_tiff", "a.tif", [](const std::string& p) { return load_refuses(p, k_type_tiff8); }},
    {"detect_tiff", "b.tif",
     [](const std::string& p) {
       return throws([&] {
         Hdr_image img;
         load_image_detect_type(img, p);
       });
     }},
    {"probe_jpeg", "a.jpg",
     [](const std::string& p) { return probe_refuses(read_jpeg_header, p); }},
    {"probe_exr", "a.exr", [](const std::string& p) { return probe_refuses(read_exr_header, p); }},
    {"probe_png", "a.png", [](const std::string& p) { return probe_refuses(read_png_header, p); }},
    {"probe_rgbe", "a.hdr",
     [](const std::string& p) { return probe_refuses(read_rgbe_header, p); }},
    {"read_jpeg_rgb", "a.jpg",
     [](const std::string& p) {
       uint32_t w, h, c;
       return !read_jpeg_rgb(p, w, h, c);
     }},
    {"read_exif_segment", "a.jpg",
     [](const std::string& p) { return read_exif_segment(p).empty(); }},
    {"insert_exif_segment", "a.jpg",
     [](const std::string& p) {
       return !insert_exif_segment(p, {0xff, 0xe1, 0, 2});
     }},
    {"exif_thumbnail", "a.jpg",
     [](const std::string& p) {
       Thumbnail_planes planes;
       Exif_record exif;
       return !load_exif_thumbnail(p, planes, exif);
     }},
};

class NamedPipeInput : public ::testing::TestWithParam<Pipe_reader> {};

// Run in a child: a reader that waits on the pipe is ended by the alarm and fails.
TEST_P(NamedPipeInput, RefusedWithoutWaiting) {
  Temp_dir dir;
  const std::string path = dir.file(GetParam().file);
  ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
  EXPECT_EXIT(
      {
        alarm(10);
        std::exit(GetParam().refuses(path) ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(Readers, NamedPipeInput, ::testing::ValuesIn(k_readers),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
