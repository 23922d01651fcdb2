// Answers of the browser seam held for one test (see the header).
#include "tests/support/fake_browser.h"

#include <utility>

Fake_browser::Fake_browser() : m_saved(std::move(browser_seam())) {
  browser_seam() = Browser_seam{};
}

Fake_browser::~Fake_browser() { browser_seam() = std::move(m_saved); }
