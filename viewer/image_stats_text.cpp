// stats_name_line and stats_figure_lines.
#include "viewer/image_stats_text.h"

#include <iomanip>
#include <sstream>

#include "core/hdr_image.h"
#include "viewer/info_lines.h"

namespace {

std::string fixed2(float v) {
  std::ostringstream out;
  out << std::fixed << std::setprecision(2) << v;
  return out.str();
}

}  // namespace

std::string stats_name_line(const std::string& name) { return info_line("Name", name); }

std::vector<std::string> stats_figure_lines(const Image_stats& stats) {
  return {info_line("Dynamic range (EVs)", fixed2(stats.range_ev)),
          info_line("Dynamic range", fixed2(stats.range_log10)),
          info_line("Dynamic range (99%)", fixed2(stats.range_log10_99)),
          info_line("Dynamic range (95%)", fixed2(stats.range_log10_95))};
}
