// Singular-value decomposition: Householder reduction to bidiagonal form, accumulation of
// the transformations, implicit-shift QR sweeps (Golub and Reinsch), all in float.
#include "hdr/svd.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/log.h"
#include "core/refusal.h"
#include "hdr/matrix.h"

namespace {

constexpr int k_max_iterations = 30;

// |a| with the sign of b.
double sign_of(double a, double b) { return b >= 0.0 ? std::fabs(a) : -std::fabs(a); }

// True when x is negligible beside the norm: adding it changes nothing in float.
bool negligible(float x, float anorm) {
  return float(std::fabs(double(x)) + double(anorm)) == anorm;
}

}  // namespace

[[noreturn]] void nrerror(const char* message) {
  log_error("Numerical Recipes run-time error...");
  log_error("%s", message);
  throw Refusal(k_response_not_recovered);
}

float pythag(float a, float b) {
  const float absa = std::fabs(a), absb = std::fabs(b);
  if (absa > absb) {
    const double r = double(absb / absa);
    return float(absa * std::sqrt(1.0 + r * r));
  }
  if (absb == 0.f) return 0.f;
  const double r = double(absa / absb);
  return float(absb * std::sqrt(1.0 + r * r));
}

void svdcmp(float** a, int m, int n, float* w, float** v) {
  // The working vector rv1[1..n] holds the superdiagonal of the bidiagonal form; owned, so
  // a failure below frees it.
  std::vector<float> superdiagonal(size_t(n) + 1, 0.f);
  float* rv1 = superdiagonal.data();

  int l = 0;
  float g = 0.f, scale = 0.f, anorm = 0.f, s = 0.f, f = 0.f, h = 0.f;
  // Householder reduction to bidiagonal form.
  for (int i = 1; i <= n; ++i) {
    l = i + 1;
    rv1[i] = scale * g;
    g = s = scale = 0.f;
    if (i <= m) {
      for (int k = i; k <= m; ++k) scale += std::fabs(a[k][i]);
      if (scale != 0.f) {
        for (int k = i; k <= m; ++k) {
          a[k][i] /= scale;
          s += a[k][i] * a[k][i];
        }
        f = a[i][i];
        g = float(-sign_of(std::sqrt(double(s)), f));
        h = f * g - s;
        a[i][i] = f - g;
        for (int j = l; j <= n; ++j) {
          s = 0.f;
          for (int k = i; k <= m; ++k) s += a[k][i] * a[k][j];
          f = s / h;
          for (int k = i; k <= m; ++k) a[k][j] += f * a[k][i];
        }
        for (int k = i; k <= m; ++k) a[k][i] *= scale;
      }
    }
    w[i] = scale * g;
    g = s = scale = 0.f;
    if (i <= m && i != n) {
      for (int k = l; k <= n; ++k) scale += std::fabs(a[i][k]);
      if (scale != 0.f) {
        for (int k = l; k <= n; ++k) {
          a[i][k] /= scale;
          s += a[i][k] * a[i][k];
        }
        f = a[i][l];
        g = float(-sign_of(std::sqrt(double(s)), f));
        h = f * g - s;
        a[i][l] = f - g;
        for (int k = l; k <= n; ++k) rv1[k] = a[i][k] / h;
        for (int j = l; j <= m; ++j) {
          s = 0.f;
          for (int k = l; k <= n; ++k) s += a[j][k] * a[i][k];
          for (int k = l; k <= n; ++k) a[j][k] += s * rv1[k];
        }
        for (int k = l; k <= n; ++k) a[i][k] *= scale;
      }
    }
    anorm = std::fmax(anorm, std::fabs(w[i]) + std::fabs(rv1[i]));
  }
  // Accumulation of the right-hand transformations.
  for (int i = n; i >= 1; --i) {
    if (i < n) {
      if (g != 0.f) {
        // Double division avoids a possible underflow.
        for (int j = l; j <= n; ++j) v[j][i] = (a[i][j] / a[i][l]) / g;
        for (int j = l; j <= n; ++j) {
          s = 0.f;
          for (int k = l; k <= n; ++k) s += a[i][k] * v[k][j];
          for (int k = l; k <= n; ++k) v[k][j] += s * v[k][i];
        }
      }
      for (int j = l; j <= n; ++j) v[i][j] = v[j][i] = 0.f;
    }
    v[i][i] = 1.f;
    g = rv1[i];
    l = i;
  }
  // Accumulation of the left-hand transformations.
  for (int i = std::min(m, n); i >= 1; --i) {
    l = i + 1;
    g = w[i];
    for (int j = l; j <= n; ++j) a[i][j] = 0.f;
    if (g != 0.f) {
      g = float(1.0 / g);
      for (int j = l; j <= n; ++j) {
        s = 0.f;
        for (int k = l; k <= m; ++k) s += a[k][i] * a[k][j];
        f = (s / a[i][i]) * g;
        for (int k = i; k <= m; ++k) a[k][j] += f * a[k][i];
      }
      for (int j = i; j <= m; ++j) a[j][i] *= g;
    } else {
      for (int j = i; j <= m; ++j) a[j][i] = 0.f;
    }
    ++a[i][i];
  }
  // Diagonalisation of the bidiagonal form: for each singular value, QR sweeps until the
  // superdiagonal element above it is negligible.
  for (int k = n; k >= 1; --k) {
    for (int its = 1; its <= k_max_iterations; ++its) {
      bool split = true;
      int nm = 0;
      for (l = k; l >= 1; --l) {  // rv1[1] is always 0, so the loop ends at l = 1
        nm = l - 1;
        if (negligible(rv1[l], anorm)) {
          split = false;
          break;
        }
        if (negligible(w[nm], anorm)) break;
      }
      if (split) {  // cancel rv1[l] once w[l - 1] is negligible
        float c = 0.f;
        s = 1.f;
        for (int i = l; i <= k; ++i) {
          f = s * rv1[i];
          rv1[i] = c * rv1[i];
          if (negligible(f, anorm)) break;
          g = w[i];
          h = pythag(f, g);
          w[i] = h;
          h = float(1.0 / h);
          c = g * h;
          s = -f * h;
          for (int j = 1; j <= m; ++j) {
            const float y = a[j][nm], z = a[j][i];
            a[j][nm] = y * c + z * s;
            a[j][i] = z * c - y * s;
          }
        }
      }
      float z = w[k];
      if (l == k) {  // converged; a singular value is made non-negative
        if (z < 0.f) {
          w[k] = -z;
          for (int j = 1; j <= n; ++j) v[j][k] = -v[j][k];
        }
        break;
      }
      // A result that has not converged (a matrix holding NaN or infinity) would be taken
      // for a response: the recovery fails instead.
      if (its == k_max_iterations) nrerror("no convergence in 30 svdcmp iterations");
      // Shift from the bottom 2 x 2 minor.
      float x = w[l];
      nm = k - 1;
      float y = w[nm];
      g = rv1[nm];
      h = rv1[k];
      f = float(((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y));
      g = pythag(f, 1.f);
      f = float(((x - z) * (x + z) + h * ((y / (f + sign_of(g, f))) - h)) / x);
      // Next QR transformation.
      float c = 1.f;
      s = 1.f;
      for (int j = l; j <= nm; ++j) {
        const int i = j + 1;
        g = rv1[i];
        y = w[i];
        h = s * g;
        g = c * g;
        z = pythag(f, h);
        rv1[j] = z;
        c = f / z;
        s = h / z;
        f = x * c + g * s;
        g = g * c - x * s;
        h = y * s;
        y *= c;
        for (int jj = 1; jj <= n; ++jj) {
          x = v[jj][j];
          z = v[jj][i];
          v[jj][j] = x * c + z * s;
          v[jj][i] = z * c - x * s;
        }
        z = pythag(f, h);
        w[j] = z;  // the rotation can be arbitrary when z is 0
        if (z != 0.f) {
          z = float(1.0 / z);
          c = f * z;
          s = h * z;
        }
        f = c * g + s * y;
        x = c * y - s * g;
        for (int jj = 1; jj <= m; ++jj) {
          y = a[jj][j];
          z = a[jj][i];
          a[jj][j] = y * c + z * s;
          a[jj][i] = z * c - y * s;
        }
      }
      rv1[l] = 0.f;
      rv1[k] = f;
      w[k] = x;
    }
  }
}

void sort_by_magnitude(float* w, int* index, int n) {
  for (int p = 1; p <= n; ++p) index[p] = p;
  for (int p = 2; p <= n; ++p) {
    const float value = w[p];
    const int from = index[p];
    int q = p - 1;
    // Strictly greater only: equal magnitudes keep their order.
    while (q >= 1 && std::fabs(value) > std::fabs(w[q])) {
      w[q + 1] = w[q];
      index[q + 1] = index[q];
      --q;
    }
    w[q + 1] = value;
    index[q + 1] = from;
  }
}

void transpose_square(float** v, int n) {
  std::vector<float> copy(size_t(n) * size_t(n));
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) copy[size_t(j - 1) * size_t(n) + size_t(i - 1)] = v[i][j];
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) v[i][j] = copy[size_t(i - 1) * size_t(n) + size_t(j - 1)];
}

void sort_singular_values(float** a, int m, int n, float* w, float** v) {
  std::vector<int> index(size_t(n) + 1);
  sort_by_magnitude(w, index.data(), n);
  // Columns of U: new column p = old column index[p].
  std::vector<float> row(size_t(n) + 1);
  for (int i = 1; i <= m; ++i) {
    for (int p = 1; p <= n; ++p) row[p] = a[i][index[p]];
    for (int p = 1; p <= n; ++p) a[i][p] = row[p];
  }
  // Columns of V, moved as rows of its transpose.
  transpose_square(v, n);
  std::vector<float*> rows(size_t(n) + 1);
  for (int p = 1; p <= n; ++p) rows[p] = v[index[p]];
  std::vector<float> moved(size_t(n) * size_t(n));
  for (int p = 1; p <= n; ++p)
    for (int j = 1; j <= n; ++j) moved[size_t(p - 1) * size_t(n) + size_t(j - 1)] = rows[p][j];
  for (int p = 1; p <= n; ++p)
    for (int j = 1; j <= n; ++j) v[p][j] = moved[size_t(p - 1) * size_t(n) + size_t(j - 1)];
  transpose_square(v, n);
}
