// The browser state kept in the preferences file: the last visited folder (group
// "LastVisitedDir", key "LVD") and the recent folders (group "RecentDirs", keys
// "Directory0" to "Directory7", oldest first). "_____" or an absent key means no entry.
#pragma once
#include <optional>
#include <string>
#include <vector>

class Fl_Preferences;

/// The stored recent folders in index order, skipping empty slots. Values of any length.
std::vector<std::string> read_recent_dirs(Fl_Preferences& root);

/// The stored last folder; nothing when the key is absent or holds "_____".
std::optional<std::string> read_last_folder(Fl_Preferences& root);

/// Stores current as the last folder, then recent[i] under "Directory<i>" for every entry
/// held; keys beyond are left as they are.
void write_browser_state(Fl_Preferences& root, const std::string& current,
                         const std::vector<std::string>& recent);
