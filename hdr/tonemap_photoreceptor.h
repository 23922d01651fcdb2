// Interactive tone mapping: a photoreceptor response per colour channel with saturation,
// lightness, contrast and gamma, the contrast set automatically from the log-luminance
// histogram unless the user chose one.
#pragma once
#include <cstdint>
#include <vector>

/// Parameter ranges and starting values, shared by the dialog's sliders and the tests.
constexpr double k_saturation_min = 0.0, k_saturation_max = 1.0, k_saturation_start = 0.5;
constexpr double k_lightness_min = -8.0, k_lightness_max = 8.0, k_lightness_start = 0.0;
constexpr double k_contrast_min = 0.0, k_contrast_max = 1.0, k_contrast_start = 0.5;
constexpr double k_interactive_gamma_min = 1.0, k_interactive_gamma_max = 3.0;
constexpr double k_interactive_gamma_start = 2.2;
/// Histogram resolution of the automatic contrast: bins per natural-log unit.
constexpr double k_interactive_bins_per_log_unit = 1024.0;

/// Receives the automatic contrast (1 - response exponent) of every run that computes it;
/// the tone-mapping dialog installs one that sets its Contrast slider.
using Contrast_hook = void (*)(double contrast);
/// Installs the hook (nullptr for none); returns the previous one.
Contrast_hook set_automatic_contrast_hook(Contrast_hook hook);
/// The automatic contrast of the last run without user contrast (0.5 before any).
double last_automatic_contrast();

/// Tone-maps rows in place (height pointers, each to width pixels of interleaved R, G, B);
/// every channel ends in 0..255. Without user_contrast the contrast argument is replaced by
/// the automatic value, which goes to the hook. A pixel of non-finite luminance is taken as
/// black. A call made while another runs returns at once. Throws std::invalid_argument for
/// a non-finite parameter or a gamma not above 0.
void tonemap_photoreceptor(float* const* rows, int32_t width, int32_t height, float saturation,
                           float lightness, float contrast, float gamma, bool user_contrast);

/// Density of ln(L + 1e-5) over the pixels of positive luminance between lo and hi:
/// ceil(hi - lo) * 1024 bins plus one for the top value, each count divided by
/// N * (hi - lo) / 1024 (by N alone when hi equals lo).
std::vector<double> interactive_histogram(const float* const* rows, int32_t width, int32_t height,
                                          double lo, double hi);
/// Moves lo and hi to the bins where the summed densities, walked from each end, first
/// exceed 1e-5 * N, and average to the density-weighted mean between them; leaves all
/// three unchanged when a walk never gets there or the bounds would not be ordered.
void interactive_percentiles(const std::vector<double>& histogram, double& lo, double& hi,
                             double& average, int32_t width, int32_t height);
