#include "browser/program_exit.h"

#include <cstdlib>

namespace {
Exit_fn g_exit = nullptr;
}

void end_process(int code) {
  if (g_exit)
    g_exit(code);
  else
    std::exit(code);
}

Exit_fn set_exit_function(Exit_fn fn) {
  Exit_fn previous = g_exit;
  g_exit = fn;
  return previous;
}
