// The visit log and the recent folders.
#include "browser/dir_history.h"

#include <algorithm>

void Dir_history::record(const std::string& folder) {
  m_entries.push_back(folder);
  m_pos = m_entries.size() - 1;
}

std::optional<std::string> Dir_history::back() {
  if (!can_go_back()) return std::nullopt;
  return m_entries[--m_pos];
}

std::optional<std::string> Dir_history::forward() {
  if (!can_go_forward()) return std::nullopt;
  return m_entries[++m_pos];
}

bool Recent_dirs::add(const std::string& folder) {
  if (std::find(m_entries.begin(), m_entries.end(), folder) != m_entries.end()) return false;
  if (m_entries.size() >= max_recent) m_entries.erase(m_entries.begin());
  m_entries.push_back(folder);
  return true;
}
