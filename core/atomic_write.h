// Replacing a file safely: write a temporary file beside the target, then rename it over
// the target, so that a failed write (full disk, read-only folder) leaves the old file.
#pragma once
#include <functional>
#include <string>

/// One temporary file beside a target path. Created empty on construction; commit()
/// renames it over the target; if commit() is never reached the destructor removes it.
/// The target's permissions are carried over; a symbolic link is replaced at the file it
/// points to, so the link stays. A target that exists but may not be written (or is no
/// regular file) is refused like a missing folder.
class Atomic_file {
 public:
  /// Throws Write_error(error_text + target) when the temporary file cannot be created
  /// (missing or read-only folder).
  explicit Atomic_file(const std::string& target,
                       const std::string& error_text = "Cannot open image file for writing: ");
  ~Atomic_file();
  Atomic_file(const Atomic_file&) = delete;
  Atomic_file& operator=(const Atomic_file&) = delete;

  /// Path of the temporary file, for libraries that open files by name.
  const std::string& temp_path() const { return m_temp; }
  /// Path that commit() replaces (the link target when the given path was a link).
  const std::string& target() const { return m_target; }
  /// Flushes the temporary file to disk and renames it over the target. Throws
  /// Write_error "Cannot replace file: " + target on failure (the temporary is removed).
  void commit();

 private:
  std::string m_target;
  std::string m_temp;
  int m_mode = -1;  // permissions of the replaced file, -1 for a new file
  bool m_done = false;
};

/// Runs write(temporary path), then commits. Whatever write throws propagates, and the
/// temporary file is removed; the target is then untouched.
void write_file_atomically(const std::string& target,
                           const std::function<void(const std::string& temp_path)>& write);
