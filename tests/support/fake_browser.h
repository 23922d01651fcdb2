// The browser as tests see it: for the fake's life every answer of the browser seam
// starts empty and is the test's to set; the answers found before are put back after.
#pragma once
#include "core/browser_seam.h"

class Fake_browser {
 public:
  Fake_browser();
  ~Fake_browser();
  Fake_browser(const Fake_browser&) = delete;
  Fake_browser& operator=(const Fake_browser&) = delete;

  /// The installed answers, to set for this test.
  Browser_seam& answers() { return browser_seam(); }

 private:
  Browser_seam m_saved;
};
