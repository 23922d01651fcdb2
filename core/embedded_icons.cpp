#include "core/embedded_icons.h"

#include <FL/Fl_File_Icon.H>
#include <FL/Fl_PNG_Image.H>
#include <FL/Fl_Shared_Image.H>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "core/preferences.h"

namespace {

bool write_all(int fd, const unsigned char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool write_file_if_missing(const std::string& path, const unsigned char* bytes, std::size_t size) {
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fclose(f);
    return true;
  }
  std::string temp = path + ".XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  bool ok = write_all(fd, bytes, size);
  // mkstemp makes the file private; an icon is as readable as any other file.
  ok = (::fchmod(fd, 0644) == 0) && ok;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = std::rename(name.data(), path.c_str()) == 0;
  if (!ok) std::remove(name.data());
  return ok;
}

void load_embedded_file_icon(Fl_File_Icon* icon, const std::string& file_name,
                             const unsigned char* bytes, std::size_t size) {
  const std::string folder = user_data_folder();
  if (!icon || folder.empty()) return;
  const std::string path = folder + file_name;
  if (!write_file_if_missing(path, bytes, size)) return;
  fl_register_images();  // Fl_File_Icon::load reads PNG through the shared-image handlers
  icon->load(path.c_str());
}

void load_embedded_png(Fl_PNG_Image*& image, const std::string& file_name,
                       const unsigned char* bytes, std::size_t size) {
  const std::string folder = user_data_folder();
  if (!folder.empty()) {
    const std::string path = folder + file_name;
    write_file_if_missing(path, bytes, size);
    image = new Fl_PNG_Image(path.c_str());
    if (image->w() > 0) return;
    delete image;
  }
  image = new Fl_PNG_Image(file_name.c_str(), bytes, static_cast<int>(size));
}
