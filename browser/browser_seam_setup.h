// The browser's side of core/browser_seam.h: where the program's windows get the grid's
// selection and order, the current folder, a viewer for a result, the refresh of a
// written file's tile and the calibration dialog.
#pragma once

/// Fills in every answer of browser_seam(): the selection and tiles of g_icon_view, the
/// current folder of g_dir_view (each read when asked, so they may be made later), a new
/// "Untitled" viewer for results, the written file's tile refreshed when its folder is
/// shown, and g_calibrate_dialog started on a viewer's pixel. Start-up calls it once.
void install_browser_seam();
