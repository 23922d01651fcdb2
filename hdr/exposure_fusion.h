// Exposure fusion: an exposure series of 8-bit images blended straight into one
// displayable image. Each pixel of each exposure is weighted by its local contrast, colour
// saturation and well-exposedness; the exposures are blended level by level in Laplacian
// pyramids, their normalised weights smoothed by Gaussian pyramids. All work on OpenCV
// matrices.
#pragma once
#include <opencv2/core.hpp>
#include <vector>

class Progress;

/// Exponent range of the three weights, as the fusion dialog's sliders offer it. Larger
/// values work too; negative ones are refused (zero contrast would weigh infinitely).
constexpr float k_fusion_exponent_min = 0.f;
constexpr float k_fusion_exponent_max = 1.f;
constexpr float k_fusion_exponent_default = 1.f;

/// Each weight is raised to its exponent; 0 makes that measure 1 everywhere.
struct Fusion_exponents {
  float contrast = k_fusion_exponent_default;
  float saturation = k_fusion_exponent_default;
  float well_exposedness = k_fusion_exponent_default;
};

/// More pyramid levels than any image side can halve to (sides are ints).
constexpr int k_fusion_max_levels = 32;

/// Refusal of a series whose exposures differ in size (the main window's check says the
/// same before the dialog opens).
inline constexpr char k_fusion_size_error[] =
    "All images should have the same resolution for fusing exposures.";

/// The pyramid depth for an exposure of rows x cols: trunc(log2(min(rows, cols))), counted
/// in integers (0 for an empty or one-pixel-wide image, never a float-to-int of -inf).
int fusion_levels(int rows, int cols);

/// The three weights of every exposure, one-channel float matrices of its size: C the
/// absolute 3x3 Laplacian of its grey level (values 0..1), S the standard deviation of its
/// three channels (0..1), E the product of the channels' closeness to mid-grey (a Gaussian
/// of sigma 0.2), each raised to its exponent. exposures: CV_8UC3 in B, G, R order. The
/// out vectors are replaced. Throws std::invalid_argument for an empty or non-CV_8UC3
/// exposure or a negative or non-finite exponent.
void fusion_weights(const std::vector<cv::Mat>& exposures, const Fusion_exponents& exponents,
                    std::vector<cv::Mat>& contrast, std::vector<cv::Mat>& saturation,
                    std::vector<cv::Mat>& well_exposedness);

/// Level 0 a clone of m, each further level cv::pyrDown of the one before; levels below 2
/// give the one level.
std::vector<cv::Mat> gaussian_pyramid(const cv::Mat& m, int levels);

/// Per level the Gaussian level less the expanded next one; the last level is the
/// Gaussian's own. Same depth as gaussian.
std::vector<cv::Mat> laplacian_pyramid(const std::vector<cv::Mat>& gaussian);

/// Adds every level, expanded, into the one above (laplacian is changed in place) and
/// returns level 0; an empty matrix for an empty pyramid.
cv::Mat collapse_pyramid(std::vector<cv::Mat>& laplacian);

/// Fuses the series into a CV_32FC3 matrix (B, G, R; values roughly 0..255, not clamped).
/// exposures: at least one CV_8UC3 matrix, all of the first's size. levels: the pyramid
/// depth (see fusion_levels); a depth below 1 is taken as 1, where the result is the
/// per-pixel weighted average. Progress runs through five phases ("Computing Weights",
/// "Combining Weights", "Creating Laplacian Pyramids", "Creating Gaussian Pyramids",
/// "Blending") of 1, 1, n, n and levels steps; a cancel is not honoured, the fusion always
/// runs to its end. Throws std::invalid_argument for an empty series, an unusable exposure,
/// exposures of different sizes (k_fusion_size_error), a bad exponent or more than
/// k_fusion_max_levels levels; OpenCV's exceptions (memory) pass through.
cv::Mat exposure_fusion(const std::vector<cv::Mat>& exposures, const Fusion_exponents& exponents,
                        int levels, Progress& progress);
