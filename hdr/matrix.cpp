// The matrix class of response recovery; its decomposition is svdcmp on 1-based copies.
#include "hdr/matrix.h"

#include <utility>
#include <vector>

#include "core/log.h"
#include "core/refusal.h"
#include "hdr/svd.h"

namespace {

// A 1-based rows x columns array of floats (index 0 unused in both directions).
struct One_based {
  One_based(int32_t rows, int32_t columns)
      : storage((size_t(rows) + 1) * (size_t(columns) + 1), 0.f), pointers(size_t(rows) + 1) {
    for (size_t i = 0; i <= size_t(rows); ++i)
      pointers[i] = storage.data() + i * (size_t(columns) + 1);
  }
  std::vector<float> storage;
  std::vector<float*> pointers;
  float** rows() { return pointers.data(); }
};

}  // namespace

void Matrix::fail(const char* message) {
  log_error("%s", message);
  throw Refusal(k_response_not_recovered);
}

void Matrix::allocate(int32_t rows, int32_t columns) {
  if (rows < 0 || columns < 0) fail("Error: negative Matrix dimensions");
  m_rows = rows;
  m_columns = columns;
  m_data = new float*[size_t(rows)];
  for (int32_t i = 0; i < rows; ++i) m_data[i] = new float[size_t(columns)]();
}

void Matrix::release() {
  for (int32_t i = 0; i < m_rows; ++i) delete[] m_data[i];
  delete[] m_data;
  m_data = nullptr;
  m_rows = 0;
  m_columns = 0;
}

Matrix::Matrix(int32_t rows, int32_t columns) { allocate(rows, columns); }

Matrix::Matrix(int32_t n, bool column) {
  if (column)
    allocate(n, 1);
  else
    allocate(1, n);
}

Matrix::Matrix(const Matrix& other) {
  allocate(other.m_rows, other.m_columns);
  for (int32_t i = 0; i < m_rows; ++i)
    for (int32_t j = 0; j < m_columns; ++j) m_data[i][j] = other.m_data[i][j];
}

Matrix::Matrix(Matrix&& other) noexcept
    : m_rows(std::exchange(other.m_rows, 0)),
      m_columns(std::exchange(other.m_columns, 0)),
      m_data(std::exchange(other.m_data, nullptr)) {}

Matrix::~Matrix() { release(); }

Matrix& Matrix::operator=(const Matrix& other) {
  if (m_rows != other.m_rows || m_columns != other.m_columns)
    fail("Error: Matrix dimensions do not match in = operator");
  if (this != &other)
    for (int32_t i = 0; i < m_rows; ++i)
      for (int32_t j = 0; j < m_columns; ++j) m_data[i][j] = other.m_data[i][j];
  return *this;
}

float& Matrix::operator()(int32_t i, int32_t j) {
  if (i < 0 || i >= m_rows || j < 0 || j >= m_columns) fail("Error: out of bounds in () operator");
  return m_data[i][j];
}

float Matrix::operator()(int32_t i, int32_t j) const { return const_cast<Matrix&>(*this)(i, j); }

Matrix Matrix::operator*(const Matrix& other) const {
  if (m_columns != other.m_rows) fail("Error: Matrix dimensions do not match in * operator");
  Matrix product(m_rows, other.m_columns);
  for (int32_t i = 0; i < m_rows; ++i)
    for (int32_t j = 0; j < other.m_columns; ++j) {
      float sum = 0.f;
      for (int32_t k = 0; k < m_columns; ++k) sum += m_data[i][k] * other.m_data[k][j];
      product.m_data[i][j] = sum;
    }
  return product;
}

Matrix Matrix::transpose() const {
  Matrix t(m_columns, m_rows);
  for (int32_t i = 0; i < m_rows; ++i)
    for (int32_t j = 0; j < m_columns; ++j) t.m_data[j][i] = m_data[i][j];
  return t;
}

void Matrix::svd(Matrix& U, Matrix& W, Matrix& V) const {
  const int32_t m = m_rows, n = m_columns;
  One_based a(m, n), v(n, n);
  std::vector<float> w(size_t(n) + 1, 0.f);
  for (int32_t i = 0; i < m; ++i)
    for (int32_t j = 0; j < n; ++j) a.rows()[i + 1][j + 1] = m_data[i][j];
  svdcmp(a.rows(), m, n, w.data(), v.rows());
  sort_singular_values(a.rows(), m, n, w.data(), v.rows());
  // Every copy goes through the range test, so wrongly sized outputs fail.
  for (int32_t i = 0; i < m; ++i)
    for (int32_t j = 0; j < n; ++j) U(i, j) = a.rows()[i + 1][j + 1];
  for (int32_t i = 0; i < n; ++i)
    for (int32_t j = 0; j < n; ++j) {
      W(i, j) = i == j ? w[size_t(i) + 1] : 0.f;
      V(i, j) = v.rows()[i + 1][j + 1];
    }
}

Matrix Matrix::pseudo_inverse() const {
  const int32_t m = m_rows, n = m_columns;
  Matrix U(m, n), W(n, n), V(n, n);
  svd(U, W, V);
  for (int32_t i = 0; i < n; ++i) {
    float& x = W(i, i);
    // Only exact zeros are dropped: a rank-deficient matrix's null space adds nothing.
    x = x == 0.f ? 0.f : float(1.0 / double(x));
  }
  return (V * W) * U.transpose();
}
