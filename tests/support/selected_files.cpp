#include "tests/support/selected_files.h"

#include "core/hdr_image.h"
#include "core/image_save.h"

Selected_file selected_file(const std::string& path, uint32_t type, uint32_t width,
                            uint32_t height) {
  Selected_file f;
  f.path = path;
  const std::string::size_type slash = path.rfind('/');
  f.folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  f.name = slash == std::string::npos ? path : path.substr(slash + 1);
  f.type = type;
  f.width = width;
  f.height = height;
  return f;
}

std::vector<Selected_file> write_selected_files(const Temp_dir& folder,
                                                const std::vector<std::string>& names, uint32_t w,
                                                uint32_t h, uint32_t type,
                                                Rgb (*value)(uint32_t x, uint32_t y)) {
  std::vector<Selected_file> files;
  for (const std::string& name : names) {
    save_image_as(*make_test_image(w, h, type, value), folder.file(name), type);
    files.push_back(selected_file(folder.file(name), type, w, h));
  }
  return files;
}
