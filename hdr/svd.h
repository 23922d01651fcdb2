// The Golub-Reinsch singular-value decomposition on 1-based float arrays, and the sort
// of its singular values, behind Matrix::svd.
#pragma once

/// Decomposes a[1..m][1..n] into U (left in a), w[1..n] and v[1..n][1..n], A = U W Vᵀ, in
/// single precision. A singular value that has not converged after 30 iterations (a matrix
/// holding NaN or infinity) fails through nrerror. w needs n + 1 entries.
void svdcmp(float** a, int m, int n, float* w, float** v);

/// Orders w[1..n] by descending magnitude and the columns of a (m rows) and v alike, so
/// that A = U W Vᵀ still holds.
void sort_singular_values(float** a, int m, int n, float* w, float** v);

/// Stable insertion sort of w[1..n] by descending |w|; index[p] receives the old position
/// of the value now at p (index needs n + 1 entries).
void sort_by_magnitude(float* w, int* index, int n);

/// Transposes v[1..n][1..n] in place.
void transpose_square(float** v, int n);

/// sqrt(a² + b²) without destructive overflow or underflow.
float pythag(float a, float b);

/// Writes the message after the run-time error line to standard error and throws
/// Refusal(k_response_not_recovered) (hdr/matrix.h).
[[noreturn]] void nrerror(const char* message);
