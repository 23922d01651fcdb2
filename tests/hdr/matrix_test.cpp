#include "hdr/matrix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <opencv2/core.hpp>
#include <random>
#include <string>
#include <vector>

#include "core/refusal.h"
#include "hdr/svd.h"

namespace {

using Rows = std::vector<std::vector<float>>;

Matrix from_rows(int32_t rows, int32_t columns, const Rows& values) {
  Matrix a(rows, columns);
  for (int32_t i = 0; i < rows; ++i)
    for (int32_t j = 0; j < columns; ++j) a(i, j) = values[size_t(i)][size_t(j)];
  return a;
}

// Largest |a(i, j) - b(i, j)|; the sizes must agree.
double max_difference(const Matrix& a, const Matrix& b) {
  EXPECT_EQ(a.rows(), b.rows());
  EXPECT_EQ(a.columns(), b.columns());
  double d = 0;
  for (int32_t i = 0; i < std::min(a.rows(), b.rows()); ++i)
    for (int32_t j = 0; j < std::min(a.columns(), b.columns()); ++j)
      d = std::max(d, std::abs(double(a(i, j)) - double(b(i, j))));
  return d;
}

double max_magnitude(const Matrix& a) {
  double d = 0;
  for (int32_t i = 0; i < a.rows(); ++i)
    for (int32_t j = 0; j < a.columns(); ++j) d = std::max(d, std::abs(double(a(i, j))));
  return d;
}

// Singular values in double from OpenCV, an independent oracle, by descending value.
std::vector<double> reference_singular_values(const Matrix& a) {
  if (a.rows() == 0 || a.columns() == 0) return std::vector<double>(size_t(a.columns()), 0.0);
  cv::Mat m(a.rows(), a.columns(), CV_64F);
  for (int32_t i = 0; i < a.rows(); ++i)
    for (int32_t j = 0; j < a.columns(); ++j) m.at<double>(i, j) = a(i, j);
  cv::Mat w;
  cv::SVD::compute(m, w, cv::SVD::NO_UV);
  std::vector<double> values(w.begin<double>(), w.end<double>());
  values.resize(size_t(a.columns()), 0.0);  // a wide matrix has n - m more zeros
  return values;
}

struct Svd_case {
  std::string name;
  int32_t rows, columns;
  Rows values;
};

void PrintTo(const Svd_case& c, std::ostream* os) { *os << c.name; }

Rows random_rows(int32_t rows, int32_t columns, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> value(-3.f, 3.f);
  Rows r(size_t(rows), std::vector<float>(size_t(columns), 0.f));
  for (auto& row : r)
    for (auto& v : row) v = value(rng);
  return r;
}

const Svd_case k_svd_cases[] = {
    {"one_by_one", 1, 1, {{2.5f}}},
    {"one_by_one_negative", 1, 1, {{-4.f}}},
    {"one_by_one_zero", 1, 1, {{0.f}}},
    {"identity", 3, 3, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
    {"diagonal_unsorted_with_signs",
     4,
     4,
     {{1, 0, 0, 0}, {0, -7, 0, 0}, {0, 0, 3, 0}, {0, 0, 0, -0.5f}}},
    {"full_rank_square", 3, 3, {{4, 1, -2}, {1, 3, 0.5f}, {-2, 0.5f, 5}}},
    {"rank_one_square", 3, 3, {{1, 2, 3}, {2, 4, 6}, {-1, -2, -3}}},
    {"rank_two_tall", 5, 3, {{1, 0, 1}, {0, 1, 1}, {1, 1, 2}, {2, 0, 2}, {0, 3, 3}}},
    {"tall", 4, 2, {{1, 2}, {3, 4}, {5, 6}, {7, 8}}},
    {"wide", 2, 4, {{1, 2, 3, 4}, {0, 1, 0, -1}}},
    {"wide_rank_one", 2, 3, {{1, 1, 1}, {2, 2, 2}}},
    {"column_vector", 4, 1, {{1}, {-2}, {2}, {4}}},
    {"row_vector", 1, 4, {{1, -2, 2, 4}}},
    {"zero_tall", 3, 2, {{0, 0}, {0, 0}, {0, 0}}},
    {"repeated_values", 3, 3, {{2, 0, 0}, {0, -2, 0}, {0, 0, 2}}},
    {"random_tall", 9, 5, random_rows(9, 5, 3)},
    {"random_wide", 4, 6, random_rows(4, 6, 4)},
    // The normal matrices of a polynomial fit: entries spanning several decades.
    {"ill_scaled", 4, 3, {{1e4f, 1e2f, 1}, {1e2f, 1, 1e-2f}, {1, 1e-2f, 1e-4f}, {3, 2, 1}}},
};

class SvdCases : public testing::TestWithParam<Svd_case> {};

TEST_P(SvdCases, ReconstructsWithOrthonormalFactorsAndSortedValues) {
  const Svd_case& c = GetParam();
  const Matrix a = from_rows(c.rows, c.columns, c.values);
  const int32_t m = c.rows, n = c.columns;
  Matrix U(m, n), W(n, n), V(n, n);
  a.svd(U, W, V);
  const double scale = std::max(1.0, max_magnitude(a));
  const double tol = 2e-5 * scale;

  EXPECT_LT(max_difference(U * W * V.transpose(), a), tol);

  const std::vector<double> reference = reference_singular_values(a);
  for (int32_t i = 0; i < n; ++i) {
    for (int32_t j = 0; j < n; ++j) {
      if (i != j) {
        EXPECT_EQ(W(i, j), 0.f) << i << "," << j;
      }
    }
    EXPECT_GE(W(i, i), 0.f) << i;
    if (i > 0) {
      EXPECT_GE(W(i - 1, i - 1), W(i, i)) << "sorted at " << i;
    }
    EXPECT_NEAR(W(i, i), reference[size_t(i)], tol) << i;
  }

  Matrix identity(n, n);
  for (int32_t i = 0; i < n; ++i) identity(i, i) = 1.f;
  EXPECT_LT(max_difference(V.transpose() * V, identity), 1e-5);

  // The left vectors of the non-zero singular values are orthonormal.
  for (int32_t p = 0; p < n; ++p)
    for (int32_t q = 0; q < n; ++q) {
      if (W(p, p) <= tol || W(q, q) <= tol) continue;
      double dot = 0;
      for (int32_t i = 0; i < m; ++i) dot += double(U(i, p)) * U(i, q);
      EXPECT_NEAR(dot, p == q ? 1.0 : 0.0, 1e-5) << p << "," << q;
    }
}

TEST_P(SvdCases, PseudoInverseSatisfiesThePenroseConditions) {
  const Svd_case& c = GetParam();
  const Matrix a = from_rows(c.rows, c.columns, c.values);
  const Matrix p = a.pseudo_inverse();
  ASSERT_EQ(p.rows(), c.columns);
  ASSERT_EQ(p.columns(), c.rows);
  // Only exact zeros are dropped: a tiny singular value left by rounding in a
  // rank-deficient or ill-conditioned matrix is inverted and magnifies the rounding, so
  // the conditions are checked where every singular value is 0 or well above rounding.
  const int32_t n = c.columns;
  Matrix U(c.rows, n), W(n, n), V(n, n);
  a.svd(U, W, V);
  for (int32_t i = 0; i < n; ++i)
    if (W(i, i) != 0.f && W(i, i) < 1e-3f * W(0, 0)) return;
  const double scale = std::max(1.0, max_magnitude(a));
  EXPECT_LT(max_difference(a * p * a, a), 1e-4 * scale);
  EXPECT_LT(max_difference(p * a * p, p), 1e-4 * std::max(1.0, max_magnitude(p)));
}

INSTANTIATE_TEST_SUITE_P(Matrices, SvdCases, testing::ValuesIn(k_svd_cases),
                         [](const testing::TestParamInfo<Svd_case>& i) { return i.param.name; });

TEST(Matrix, ConstructionGivesZerosOfTheAskedShape) {
  const Matrix a(2, 3);
  EXPECT_EQ(a.rows(), 2);
  EXPECT_EQ(a.columns(), 3);
  EXPECT_EQ(max_magnitude(a), 0.0);
  const Matrix column(4, true), row(4, false);
  EXPECT_EQ(column.rows(), 4);
  EXPECT_EQ(column.columns(), 1);
  EXPECT_EQ(row.rows(), 1);
  EXPECT_EQ(row.columns(), 4);
}

TEST(Matrix, ProductSumsInAscendingOrderAndTransposeSwaps) {
  const Matrix a = from_rows(2, 3, {{1, 2, 3}, {4, 5, 6}});
  const Matrix b = from_rows(3, 2, {{7, 8}, {9, 10}, {11, 12}});
  const Matrix p = a * b;
  EXPECT_EQ(max_difference(p, from_rows(2, 2, {{58, 64}, {139, 154}})), 0.0);
  EXPECT_EQ(max_difference(a.transpose(), from_rows(3, 2, {{1, 4}, {2, 5}, {3, 6}})), 0.0);
  // 1e8 + 1 - 1e8 in float, in that order, is 0, not 1.
  const Matrix r = from_rows(1, 3, {{1e8f, 1.f, -1e8f}});
  const Matrix ones = from_rows(3, 1, {{1}, {1}, {1}});
  EXPECT_EQ((r * ones)(0, 0), 0.f);
}

TEST(Matrix, AssignmentCopiesIntoTheSameShape) {
  Matrix target(2, 2);
  const Matrix source = from_rows(2, 2, {{1, 2}, {3, 4}});
  target = source;
  EXPECT_EQ(max_difference(target, source), 0.0);
  target = target;
  EXPECT_EQ(max_difference(target, source), 0.0);
}

TEST(Matrix, PseudoInverseOfZeroMatrixIsTransposedZero) {
  const Matrix p = Matrix(3, 2).pseudo_inverse();
  EXPECT_EQ(p.rows(), 2);
  EXPECT_EQ(p.columns(), 3);
  EXPECT_EQ(max_magnitude(p), 0.0);
}

TEST(Matrix, PseudoInverseInvertsTinySingularValuesAndDropsExactZeros) {
  const Matrix a = from_rows(3, 3, {{2, 0, 0}, {0, 1e-6f, 0}, {0, 0, 0}});
  const Matrix p = a.pseudo_inverse();
  EXPECT_FLOAT_EQ(p(0, 0), 0.5f);
  EXPECT_NEAR(p(1, 1), 1e6, 1);
  EXPECT_EQ(p(2, 2), 0.f);
}

TEST(Matrix, PseudoInverseSolvesLeastSquares) {
  // Fitting y = 2x + 1 through noisy points gives the normal equations' solution.
  const Matrix a = from_rows(4, 2, {{0, 1}, {1, 1}, {2, 1}, {3, 1}});
  const Matrix y = from_rows(4, 1, {{1.1f}, {2.9f}, {5.2f}, {6.8f}});
  const Matrix x = a.pseudo_inverse() * y;
  EXPECT_NEAR(x(0, 0), 1.94, 1e-5);
  EXPECT_NEAR(x(1, 0), 1.09, 1e-5);
}

TEST(Matrix, EmptyMatricesDecomposeAndMultiply) {
  const Matrix a(2, 0);
  Matrix U(2, 0), W(0, 0), V(0, 0);
  a.svd(U, W, V);
  const Matrix p = a.pseudo_inverse();
  EXPECT_EQ(p.rows(), 0);
  EXPECT_EQ(p.columns(), 2);
  const Matrix b = from_rows(2, 1, {{3}, {4}});
  Matrix x(0, true);
  x = p * b;
  EXPECT_EQ(x.rows(), 0);
  EXPECT_EQ(x.columns(), 1);
  const Matrix wide(0, 2);
  const Matrix q = wide.pseudo_inverse();
  EXPECT_EQ(q.rows(), 2);
  EXPECT_EQ(q.columns(), 0);
  EXPECT_EQ(max_magnitude(q * Matrix(0, 3)), 0.0);
}

TEST(Svd, SortByMagnitudeIsStableAndRecordsOldPositions) {
  float w[] = {0, 2, -3, 3, 1, -2};
  int index[6] = {};
  sort_by_magnitude(w, index, 5);
  const float sorted[] = {-3, 3, 2, -2, 1};
  const int from[] = {2, 3, 1, 5, 4};
  for (int p = 1; p <= 5; ++p) {
    EXPECT_EQ(w[p], sorted[p - 1]) << p;
    EXPECT_EQ(index[p], from[p - 1]) << p;
  }
}

TEST(Svd, PythagAvoidsOverflowAndUnderflow) {
  EXPECT_FLOAT_EQ(pythag(3, 4), 5);
  EXPECT_FLOAT_EQ(pythag(-4, 3), 5);
  EXPECT_EQ(pythag(0, 0), 0.f);
  EXPECT_FLOAT_EQ(pythag(3e30f, 4e30f), 5e30f);
  EXPECT_FLOAT_EQ(pythag(3e-30f, 4e-30f), 5e-30f);
}

TEST(Svd, TransposeSquareInPlace) {
  float r1[] = {0, 1, 2}, r2[] = {0, 3, 4};
  float* v[] = {nullptr, r1, r2};
  transpose_square(v, 2);
  EXPECT_EQ(r1[2], 3.f);
  EXPECT_EQ(r2[1], 2.f);
  EXPECT_EQ(r1[1], 1.f);
  EXPECT_EQ(r2[2], 4.f);
}

// A decomposition that does not converge (NaN) and every misuse of the class fail with
// the recovery's refusal and their reason on standard error; the process runs on.
void expect_refusal(const std::function<void()>& work, const std::string& reason) {
  testing::internal::CaptureStderr();
  try {
    work();
    ADD_FAILURE() << "no refusal: " << reason;
  } catch (const Refusal& refusal) {
    EXPECT_STREQ(refusal.what(), k_response_not_recovered);
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(reason), std::string::npos) << err;
}

TEST(Matrix, FailuresThrowTheRecoveryRefusal) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Matrix with_nan = from_rows(2, 2, {{nan, 1}, {1, 2}});
  Matrix a(2, 3);
  Matrix row(3, false);
  const Matrix column(3, true);
  struct Case {
    std::function<void()> work;
    std::string reason;
  };
  const Case cases[] = {
      {[&] {
         Matrix U(2, 2), W(2, 2), V(2, 2);
         with_nan.svd(U, W, V);
       },
       "no convergence in 30 svdcmp iterations\n"},
      {[&] { with_nan.pseudo_inverse(); }, "no convergence in 30 svdcmp iterations\n"},
      {[&] { a(2, 0) = 1; }, "Error: out of bounds in () operator\n"},
      {[&] { a(0, 3) = 1; }, "out of bounds in () operator"},
      {[&] { a(-1, 0) = 1; }, "out of bounds in () operator"},
      {[&] { a(0, -1) = 1; }, "out of bounds in () operator"},
      {[&] { row = column; }, "Error: Matrix dimensions do not match in = operator\n"},
      {[&] { a* a; }, "Error: Matrix dimensions do not match in * operator\n"},
      {[&] {
         Matrix U(2, 2), W(3, 3), V(3, 3);  // U should be 2 x 3
         a.svd(U, W, V);
       },
       "out of bounds in () operator"},
      {[] { nrerror("allocation failure in vector()"); },
       "Numerical Recipes run-time error...\nallocation failure in vector()\n"},
  };
  for (const Case& c : cases) expect_refusal(c.work, c.reason);
  // The matrices stay usable after a failure.
  a(1, 2) = 5;
  EXPECT_EQ(a(1, 2), 5.f);
}

}  // namespace
