// Paste of the files remembered by Cut or Copy: the target names, the overwrite question,
// and a copy that never loses a file.
#pragma once
#include <string>
#include <vector>

/// Free name for a copy in folder: folder + base + "_copy" + extension, or, while a file
/// or folder of that name exists, "_copy2", "_copy3", ... in its place.
std::string copy_name(const std::string& folder, const std::string& base,
                      const std::string& extension);

/// Copies (copy true) or moves (false) each source into target_folder (ending in '/'), in
/// order, with the status progress "Copying...", telling the browser seam of each file
/// written and removed. A source pasted onto itself (the same path, or the same file
/// reached another way) is left alone by a move and copied to a copy_name by a copy. An
/// existing target is overwritten only when the user answers "Overwrite" to
/// target + " exists. Do you want to overwrite?" ("Skip" leaves both files alone).
/// Each copy is complete before it is renamed into place, and a moved source is removed
/// only after that; a source that cannot be copied is alerted and left where it is.
/// An empty source list or target folder does nothing. Returns the number of files written.
int paste_files(const std::vector<std::string>& sources, bool copy,
                const std::string& target_folder);
