// Image type <-> cv::Mat (BGR).
#include "core/mat_convert.h"

#include <stdexcept>
#include <string>

namespace {

void require_bgr_float(const cv::Mat& mat, const char* what) {
  if (mat.dims != 2 || mat.depth() != CV_32F || mat.channels() != 3)
    throw std::invalid_argument(std::string(what) +
                                ": expected a two-dimensional 3-channel float matrix");
}

// The split writes straight into the planes: create() on a header of the right size and
// type keeps the data it points to.
void split_into(const cv::Mat& mat, Hdr_image& image) {
  float *r, *g, *b;
  rgb_planes(image, r, g, b);
  cv::Mat planes[3] = {cv::Mat(mat.rows, mat.cols, CV_32F, b),
                       cv::Mat(mat.rows, mat.cols, CV_32F, g),
                       cv::Mat(mat.rows, mat.cols, CV_32F, r)};
  cv::split(mat, planes);
}

}  // namespace

cv::Mat image_to_mat(const Hdr_image& image) {
  if (image.spectrum() < 3)
    throw std::invalid_argument("image_to_mat: the image needs three channels");
  const int h = image.height() * image.depth(), w = image.width();
  const float *r, *g, *b;
  rgb_planes(image, r, g, b);
  // OpenCV headers take non-const data; merge only reads them.
  const cv::Mat planes[3] = {cv::Mat(h, w, CV_32F, const_cast<float*>(b)),
                             cv::Mat(h, w, CV_32F, const_cast<float*>(g)),
                             cv::Mat(h, w, CV_32F, const_cast<float*>(r))};
  cv::Mat out;
  cv::merge(planes, 3, out);
  return out;
}

std::unique_ptr<Hdr_image> mat_to_image(const cv::Mat& mat) {
  require_bgr_float(mat, "mat_to_image");
  auto image = std::make_unique<Hdr_image>(uint32_t(mat.cols), uint32_t(mat.rows), 1,
                                           uint32_t(mat.channels()), 0.f);
  if (!mat.empty()) split_into(mat, *image);
  return image;
}

void mat_into_image(const cv::Mat& mat, Hdr_image& image) {
  require_bgr_float(mat, "mat_into_image");
  if (image.width() != mat.cols || image.height() != mat.rows || image.depth() != 1 ||
      image.spectrum() < 3)
    throw std::invalid_argument("mat_into_image: the matrix and the image differ in size");
  if (!mat.empty()) split_into(mat, image);
}
