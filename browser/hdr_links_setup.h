// Connects HDR processing's dialogs to the windows built after them.
#pragma once

/// Installs the answers of hdr/hdr_links.h: the selection of g_icon_view, the current
/// folder of g_dir_view (each read when asked, so they may be made later) and a new
/// "Untitled" viewer for results.
void install_hdr_links();
