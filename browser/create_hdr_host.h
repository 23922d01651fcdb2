// The browser and viewer side of HDR creation: the grid's selection and tiles, the
// current folder and the "Untitled" viewer of a single result.
#pragma once
#include "hdr/create_hdr_dialog_drv.h"

class Browser_create_hdr_host : public Create_hdr_host {
public:
  std::vector<std::string> selection() override;
  bool describe(const std::string& path, Chosen_file& file) override;
  std::string current_folder() override;
  void open_result(std::unique_ptr<Hdr_image> image, const std::string& folder) override;
  std::shared_ptr<void> keep_tiles() override;
};

/// The host start-up installs into g_create_hdr_dialog (lives for the whole run).
Browser_create_hdr_host& browser_create_hdr_host();
