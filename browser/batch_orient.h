// Batch rotate and flip of image files in place: each file loaded, turned or mirrored,
// and written back in its own format, one file at a time.
#pragma once
#include <vector>

#include "core/selected_file.h"

/// Turns every file by degrees (-90 counter-clockwise, 90 clockwise), in order, with the
/// status progress "Rotating...". Returns the number of files rewritten.
int rotate_files(const std::vector<Selected_file>& files, int degrees);

/// Mirrors every file: axis 'x' left and right, 'y' top and bottom; progress
/// "Flipping...". Returns the number of files rewritten.
int flip_files(const std::vector<Selected_file>& files, char axis);

// For both: each file rewritten is told to the browser seam (file_rotated, file_flipped)
// for its tile. A file is read as its tile's type code and replaced only through a temporary
// file renamed over it, so a failed write leaves it as it was. A file that cannot be read
// gets the alert "Cannot rotate '<path>'. Image data seems to be corrupted." (or "Cannot
// flip ..."), one whose type cannot be written (LogL TIFF) is refused with an alert, as is
// one that holds more than its rewrite would keep (rewrite_loss_alert), a failed write
// (write-protected file or folder, full disk) alerts the writer's message; each such file is
// skipped, its tile untouched, and the batch goes on. A file that no longer exists is reported so
// and its tile taken out of the grid.
