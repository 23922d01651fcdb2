// Makes a folder unwritable for the rest of a scope, also when tests run as root (root
// ignores permission bits, so the process then drops to an unprivileged effective user).
#pragma once
#include <sys/types.h>

#include <string>

class Read_only_dir {
 public:
  /// folder ends in '/'; its parent must be a Temp_dir (it is opened to other users).
  explicit Read_only_dir(const std::string& folder);
  ~Read_only_dir();
  Read_only_dir(const Read_only_dir&) = delete;
  Read_only_dir& operator=(const Read_only_dir&) = delete;
  /// False when the folder could not be made unwritable (test should be skipped).
  bool active() const { return m_active; }

 private:
  std::string m_folder;
  bool m_active = false;
  bool m_dropped = false;
};
