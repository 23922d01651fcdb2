// The browser side of HDR creation: the grid's tiles, looked up by path. The selection,
// the current folder and the result's viewer come through the browser seam.
#pragma once
#include "hdr/create_hdr_dialog_drv.h"

class Browser_create_hdr_host : public Create_hdr_host {
 public:
  bool describe(const std::string& path, Chosen_file& file) override;
  std::shared_ptr<void> keep_tiles() override;
};

/// The host start-up installs into g_create_hdr_dialog (lives for the whole run).
Browser_create_hdr_host& browser_create_hdr_host();
