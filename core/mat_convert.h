// Conversions between the image type and OpenCV's three-channel float matrices, whose
// channels are in B, G, R order.
#pragma once
#include <opencv2/core.hpp>

#include <memory>

#include "core/hdr_image.h"

/// A new CV_32FC3 matrix (rows = height, cols = width) holding the blue, green and red
/// planes merged in that order. Throws std::invalid_argument when image has fewer than 3
/// planes.
cv::Mat image_to_mat(const Hdr_image& image);

/// A new image (width = cols, height = rows, one plane per channel) from a 32-bit float
/// matrix; for three channels B, G, R land in the blue, green and red planes. The caller
/// sets the type. Throws std::invalid_argument for any other depth, for other than 3
/// channels, or for a matrix that is not two-dimensional.
std::unique_ptr<Hdr_image> mat_to_image(const cv::Mat& mat);

/// The same split into the planes of an existing image, which must have the matrix's
/// width and height and at least 3 planes (std::invalid_argument otherwise; nothing is
/// written then).
void mat_into_image(const cv::Mat& mat, Hdr_image& image);
