// Diagnostic lines (see the header).
#include "core/log.h"

#include <cstdarg>
#include <cstdio>

namespace {

void write_line(std::FILE* stream, const char* format, std::va_list args) {
  std::vfprintf(stream, format, args);
  std::fputc('\n', stream);
  std::fflush(stream);
}

}  // namespace

void log_info(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  write_line(stdout, format, args);
  va_end(args);
}

void log_error(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  write_line(stderr, format, args);
  va_end(args);
}
