// The thumbnail grid hears of every image file the program writes (viewer saves, batch
// jobs, HDR creation), so a written file's tile shows what is now on disk.
#pragma once

/// Makes file_written (core/file_written.h) refresh the written file's tile in the grid
/// (g_icon_view), when its folder is the one shown. Start-up calls it once.
void install_grid_refresh();
