// The browser's side of core/browser_seam.h: where the program's windows get the grid's
// selection and order, the current folder, a viewer for a result, the tiles of written,
// removed, turned and mirrored files, the calibration dialog and the directory chooser.
#pragma once

/// Fills in every answer of browser_seam(): the selection and tiles of g_icon_view, the
/// current folder of g_dir_view (each read when asked, so they may be made later), a new
/// "Untitled" viewer for results, the tiles of changed files updated when their folder is
/// shown, g_calibrate_dialog started on a viewer's pixel, and g_directory_chooser opened
/// at the current folder. Start-up calls it once.
void install_browser_seam();
