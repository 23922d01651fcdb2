// A temporary folder removed with everything in it when the object goes.
#pragma once
#include <string>

class Temp_dir {
 public:
  Temp_dir();
  ~Temp_dir();
  Temp_dir(const Temp_dir&) = delete;
  Temp_dir& operator=(const Temp_dir&) = delete;
  /// The folder's path, ending in '/'.
  const std::string& path() const { return m_path; }
  /// path() + name.
  std::string file(const std::string& name) const { return m_path + name; }

 private:
  std::string m_path;
};

/// Whole contents of a file (empty when it cannot be read).
std::string read_file_bytes(const std::string& path);
/// Writes bytes to a file, replacing it; false on failure.
bool write_file_bytes(const std::string& path, const std::string& bytes);
