// The one installed set of the browser's answers (see the header).
#include "core/browser_seam.h"

Browser_seam& browser_seam() {
  static Browser_seam seam;
  return seam;
}
