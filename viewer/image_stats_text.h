// The text of the "Image Stats" dialog: the name and the four dynamic-range figures.
#pragma once
#include <string>
#include <vector>

struct Image_stats;

/// The first line: the file name.
std::string stats_name_line(const std::string& name);
/// The four figure lines in their order: EVs, log10 range, at 99% and at 95%, each with
/// 2 decimals in fixed notation.
std::vector<std::string> stats_figure_lines(const Image_stats& stats);
