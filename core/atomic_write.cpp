// Temporary file beside the target plus rename.
#include "core/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

#include "core/image_errors.h"

namespace {

constexpr std::string::size_type k_max_kept_name = 200;  // of a file name, in the temporary's

// A symbolic link is followed so that the rename replaces the file, not the link.
std::string resolve_link(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : path;
}

std::string folder_of(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string name_of(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

Atomic_file::Atomic_file(const std::string& target, const std::string& error_text)
    : m_target(resolve_link(target)) {
  struct stat st;
  if (stat(m_target.c_str(), &st) == 0) {
    // A file the user may not write stays as it is, as when it was opened for writing.
    if (!S_ISREG(st.st_mode) || faccessat(AT_FDCWD, m_target.c_str(), W_OK, AT_EACCESS) != 0)
      throw Write_error(error_text + target);
    m_mode = int(st.st_mode & 07777);
  }
  // A hidden name in the same folder: rename() is atomic only within one file system.
  static std::mt19937_64 random_names(std::random_device{}() ^ uint64_t(getpid()));
  // The name is shortened so that the dot, ".tmp" and the 12-digit suffix still fit the
  // 255-byte limit of a file name.
  const std::string base =
      folder_of(m_target) + "." + name_of(m_target).substr(0, k_max_kept_name) + ".tmp";
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    char suffix[20];
    std::snprintf(suffix, sizeof suffix, "%012llx",
                  static_cast<unsigned long long>(random_names() & 0xffffffffffffull));
    m_temp = base + suffix;
    // 0666 under the umask, as fopen would create a new file.
    fd = open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) throw Write_error(error_text + target);
  close(fd);
}

Atomic_file::~Atomic_file() {
  if (!m_done) unlink(m_temp.c_str());
}

void Atomic_file::commit() {
  if (m_done) return;
  m_done = true;
  // No fsync: the rename happens only after the writer closed the file without error, so
  // a failed write never replaces the target, and an fsync would double the time of
  // saving a large image. (ext4 orders the data of a file renamed over another anyway.)
  // The replaced file's permissions, set last so that the writer could open the file.
  if (m_mode >= 0) (void)!chmod(m_temp.c_str(), mode_t(m_mode));
  if (std::rename(m_temp.c_str(), m_target.c_str()) != 0) {
    unlink(m_temp.c_str());
    throw Write_error("Cannot replace file: " + m_target);
  }
}

void write_file_atomically(const std::string& target,
                           const std::function<void(const std::string& temp_path)>& write) {
  Atomic_file file(target);
  write(file.temp_path());
  file.commit();
}
