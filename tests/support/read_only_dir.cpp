#include "tests/support/read_only_dir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr uid_t k_nobody = 65534;
}

Read_only_dir::Read_only_dir(const std::string& folder) : m_folder(folder) {
  if (chmod(folder.c_str(), 0555) != 0) return;
  if (geteuid() == 0) {
    // The unprivileged user must reach the folder through its parent.
    const std::string parent = folder.substr(0, folder.find_last_of('/', folder.size() - 2));
    chmod(parent.c_str(), 0755);
    if (seteuid(k_nobody) != 0) return;
    m_dropped = true;
  }
  // Check that writing is really refused here.
  const std::string probe = folder + ".probe";
  const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  if (fd >= 0) {
    close(fd);
    unlink(probe.c_str());
    return;
  }
  m_active = true;
}

Read_only_dir::~Read_only_dir() {
  if (m_dropped) (void)!seteuid(0);
  chmod(m_folder.c_str(), 0755);
}
