// The folder list's memory: the visit log behind Back and Forward, and the recent folders
// of "&File/Recent Directories". Plain data; the folder list drives the widgets.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

/// Every folder entered with history recording, in order of entry. A visit log, not a
/// stack: entering a folder after stepping back keeps the skipped entries and appends.
class Dir_history {
 public:
  /// Appends folder and makes it the shown entry.
  void record(const std::string& folder);
  /// Steps one entry back and returns it; nothing at the first entry or when empty.
  std::optional<std::string> back();
  /// Steps one entry forward and returns it; nothing at the last entry or when empty.
  std::optional<std::string> forward();

  bool can_go_back() const { return !m_entries.empty() && m_pos > 0; }
  bool can_go_forward() const { return !m_entries.empty() && m_pos + 1 < m_entries.size(); }
  const std::vector<std::string>& entries() const { return m_entries; }
  /// Index of the shown entry (0 when empty).
  std::size_t pos() const { return m_pos; }

 private:
  std::vector<std::string> m_entries;
  std::size_t m_pos = 0;
};

/// Up to max_recent distinct folders, oldest first.
class Recent_dirs {
 public:
  static constexpr std::size_t max_recent = 8;

  /// Adds folder (already in normal form) at the end, dropping the oldest when full.
  /// Returns false, changing nothing, when an equal folder is held already.
  bool add(const std::string& folder);
  const std::vector<std::string>& entries() const { return m_entries; }
  bool empty() const { return m_entries.empty(); }

 private:
  std::vector<std::string> m_entries;
};
