// A small dense matrix of floats for the least-squares fits of response recovery:
// element access, product, transpose, singular-value decomposition and pseudo-inverse.
#pragma once
#include <cstdint>

/// The alert when a least-squares fit of response recovery fails (misuse of the class, a
/// decomposition that does not converge).
constexpr char k_response_not_recovered[] =
    "The camera response could not be recovered from these exposures.";

/// Rows of floats, each allocated separately; indices 0-based, element (i, j) is row i,
/// column j. Matrices with no rows or no columns are legal in every operation. Misuse (an
/// index out of range, mismatched sizes) writes a message to standard error and throws
/// Refusal(k_response_not_recovered): recovery then fails as a command, the program runs on.
class Matrix {
 public:
  /// rows x columns, every element 0.
  Matrix(int32_t rows, int32_t columns);
  /// A column vector n x 1 when column is true, a row vector 1 x n otherwise; zeros.
  Matrix(int32_t n, bool column);
  Matrix(const Matrix& other);
  Matrix(Matrix&& other) noexcept;
  ~Matrix();

  /// Copies every element of other, which must have this matrix's rows and columns (the
  /// target is never resized).
  Matrix& operator=(const Matrix& other);

  /// Element (i, j); 0 <= i < rows and 0 <= j < columns.
  float& operator()(int32_t i, int32_t j);
  float operator()(int32_t i, int32_t j) const;

  /// rows x other.columns; element (i, j) sums (i, k) other(k, j) over ascending k in
  /// float. columns must equal other.rows.
  Matrix operator*(const Matrix& other) const;

  /// columns x rows.
  Matrix transpose() const;

  /// This m x n matrix A = U W Vᵀ: U (m x n) the left vectors, W (n x n) the singular
  /// values on its diagonal, by descending magnitude, and 0 elsewhere, V (n x n) the right
  /// vectors. The caller passes U, W and V of these sizes.
  void svd(Matrix& U, Matrix& W, Matrix& V) const;

  /// The n x m Moore-Penrose pseudo-inverse V W⁺ Uᵀ; only singular values exactly 0 are
  /// left out, tiny ones are inverted like any other.
  Matrix pseudo_inverse() const;

  int32_t rows() const { return m_rows; }
  int32_t columns() const { return m_columns; }

  /// Writes the message ("%s") to standard error and throws Refusal(k_response_not_recovered).
  [[noreturn]] static void fail(const char* message);

 private:
  void allocate(int32_t rows, int32_t columns);
  void release();

  int32_t m_rows = 0;
  int32_t m_columns = 0;
  float** m_data = nullptr;  // m_rows row pointers
};
