// copy_file: open the source, stream into a temporary file beside the destination, rename.
#include "core/file_copy.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "core/atomic_write.h"
#include "core/image_errors.h"
#include "core/regular_file.h"

namespace {

struct File_closer {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File_ptr = std::unique_ptr<std::FILE, File_closer>;

}  // namespace

void copy_file(const std::string& destination, const std::string& source) {
  const std::string error = "Cannot copy file to: " + destination;
  // Only a regular file is copied; a named pipe is never waited for.
  File_ptr in(open_regular_file(source));
  if (!in) throw Write_error(error);
  struct stat src, dst;
  if (fstat(fileno(in.get()), &src) != 0) throw Write_error(error);
  if (stat(destination.c_str(), &dst) == 0 && dst.st_dev == src.st_dev && dst.st_ino == src.st_ino)
    return;  // copying a file onto itself would truncate it first

  Atomic_file file(destination, "Cannot copy file to: ");
  File_ptr out(std::fopen(file.temp_path().c_str(), "wb"));
  if (!out) throw Write_error(error);
  std::vector<char> buffer(1 << 20);  // 1 MiB: few system calls, little memory
  for (;;) {
    const size_t n = std::fread(buffer.data(), 1, buffer.size(), in.get());
    if (n > 0 && std::fwrite(buffer.data(), 1, n, out.get()) != n) throw Write_error(error);
    if (n < buffer.size()) break;
  }
  if (std::ferror(in.get())) throw Write_error(error);
  if (std::fclose(out.release()) != 0) throw Write_error(error);
  file.commit();
}
