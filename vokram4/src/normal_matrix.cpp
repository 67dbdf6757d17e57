// The bordered normal matrix: its reduction, the solutions with the reduced matrix and
// the elements of the inverse on the envelope of the reduction.
#include "vokram4/normal_matrix.hpp"

#include <algorithm>

namespace vk::v4 {

namespace {

// The last column up to u of row i that is not zero (i when there is none).
int reach(const double* r, int i, int u) {
    int j = u;
    while (j > i && r[j - i] == 0.0) --j;
    return j;
}

// A reduced pivot that is not clearly positive: the observations leave the point of
// this unknown undetermined (only rounding is left of its diagonal element).
bool undetermined(double pivot, double unreduced) {
    return !(pivot > 1e-10 * unreduced);
}

// y[0..n) -= f x[0..n)
void take_off(double* y, const double* x, int n, double f) {
    for (int k = 0; k < n; ++k) y[k] -= f * x[k];
}

// The sum of x[k] y[k] over k in [0, n), in four interleaved partial sums.
double dot(const double* x, const double* y, int n) {
    double s[4] = {0, 0, 0, 0};
    int k = 0;
    for (; k + 4 <= n; k += 4)
        for (int t = 0; t < 4; ++t) s[t] += x[k + t] * y[k + t];
    for (; k < n; ++k) s[0] += x[k] * y[k];
    return (s[0] + s[1]) + (s[2] + s[3]);
}

}  // namespace

void NormalMatrix::create(int u) {
    u_ = u;
    last_.clear();
    RecordFile<double>::create(static_cast<std::size_t>(u + 1) * static_cast<std::size_t>(u + 2) / 2 + 5);
}

int NormalMatrix::reduce() {
    const int u = u_, c = u + 1;  // c: the absolute-term column
    last_.assign(static_cast<std::size_t>(c) + 1, 0);
    for (int I = 1; I <= c; ++I) {
        double* rI = row(I);
        const double unreduced = rI[0];
        for (int T = 1; T < I; ++T) {
            if (I <= u && last_[T] < I) continue;  // N(T, I) is zero
            const double* rT = row(T);
            const double f = rT[I - T];
            if (f == 0.0) continue;
            const double p = rT[0];
            const int end = std::min(last_[T], u);
            for (int J = I; J <= end; ++J) rI[J - I] -= rT[J - T] * f / p;
            rI[c - I] -= rT[c - T] * f / p;
        }
        if (I > u) break;
        if (undetermined(rI[0], unreduced)) return I;
        last_[I] = reach(rI, I, u);
    }
    return 0;
}

void NormalMatrix::back_substitute(RecordFile<float>& X) const {
    const int u = u_, c = u + 1;
    X.create(u_s() + 5);
    X[c] = 1.0f;
    for (int I = u; I >= 1; --I) {
        const double* rI = row(I);
        const double p = rI[0];
        double sum = 0.0;
        sum -= static_cast<double>(X[c]) * rI[c - I] / p;
        for (int J = last_[I]; J > I; --J) sum -= static_cast<double>(X[J]) * rI[J - I] / p;
        X[I] = static_cast<float>(sum);
    }
}

void NormalMatrix::solve_unit(int I, RecordFile<float>& Q) {
    const int u = u_, c = u + 1;
    // The right-hand side b, b(I) = -1, reduced as the absolute terms were.
    std::vector<double> b(static_cast<std::size_t>(c) + 1, 0.0);
    b[I] = -1.0;
    for (int T = I; T < u; ++T) {
        const double bT = b[T];
        if (bT == 0.0) continue;
        const double* rT = row(T);
        const double p = rT[0];
        for (int J = T + 1; J <= last_[T]; ++J) b[J] -= bT * rT[J - T] / p;
    }
    for (int J = 1; J <= u; ++J) row(J)[c - J] = b[J];
    row(c)[0] = 0.0;

    // The first row that reaches each column.
    std::vector<int> top(static_cast<std::size_t>(c) + 1);
    for (int T = 1, J = 1; T <= u; ++T) {
        while (J < T && last_[J] < T) ++J;
        top[T] = J;
    }

    // Back substitution, q(J) = -sum over T = u + 1 down to J + 1 of q(T) N(J, T) / N(J, J),
    // each q kept in 32 bits. It runs by columns: as soon as q(T) is known it is taken off
    // every row above, so each row still receives its terms from the highest T down.
    Q.create(u_s() + 5);
    Q[c] = 1.0f;
    std::vector<double> s(static_cast<std::size_t>(c) + 1, 0.0);
    for (int J = I; J <= u; ++J) s[J] = 0.0 - static_cast<double>(Q[c]) * b[J] / row(J)[0];
    for (int T = u; T >= I; --T) {
        Q[T] = static_cast<float>(s[T]);
        const double q = static_cast<double>(Q[T]);
        for (int J = std::max(I, top[T]); J < T; ++J)
            if (last_[J] >= T) s[J] -= q * row(J)[T - J] / row(J)[0];
    }
}

// Takahashi's recurrence from the last row up: with l(i, k) = U(i, k) / d(i),
//   Q(i, j) = [i = j] / d(i) - sum over k > i of l(i, k) Q(k, j),   j >= i,
// where l(i, k) is zero beyond the row's last column. For j up to the reach of row i
// and k up to its last column, every Q(k, j) lies in rows that reach as far, so the
// envelope holds all the recurrence reads, and the work is of the order of the
// reduction itself.
Cofactors NormalMatrix::inverse(const std::vector<int>& need) const {
    const int u = u_;
    Cofactors z;
    z.reach_.assign(static_cast<std::size_t>(u) + 1, 0);
    z.start_.assign(static_cast<std::size_t>(u) + 2, 0);
    for (int i = 1, r = 0; i <= u; ++i) {
        r = std::min(u, std::max({r, i, last_[i], need[i]}));
        z.reach_[i] = r;
        z.start_[i + 1] = z.start_[i] + static_cast<std::size_t>(r - i + 1);
    }
    z.q_.assign(z.start_[u + 1], 0.0);

    std::vector<double> l(static_cast<std::size_t>(u) + 2, 0.0), acc(l.size(), 0.0);
    for (int i = u; i >= 1; --i) {
        const double* r = row(i);
        const double d = r[0];
        const int L = last_[i], R = z.reach_[i];
        for (int k = i + 1; k <= L; ++k) l[k] = r[k - i] / d;
        std::fill(acc.begin() + i + 1, acc.begin() + R + 1, 0.0);
        // acc(j) = -sum over k of l(i, k) Q(k, j). Row k of the envelope serves the
        // columns j >= k directly, and by symmetry the column k for the j < k.
        for (int k = i + 1; k <= L; ++k) {
            const double* zk = &z.q_[z.start_[k]];  // zk[j - k] is Q(k, j)
            if (l[k] != 0.0) take_off(&acc[k], zk, R - k + 1, l[k]);
            acc[k] -= dot(&l[k + 1], zk + 1, L - k);
        }
        double* zi = &z.q_[z.start_[i]];
        zi[0] = 1.0 / d - dot(&l[i + 1], &acc[i + 1], L - i);
        std::copy(acc.begin() + i + 1, acc.begin() + R + 1, zi + 1);
    }
    return z;
}

}  // namespace vk::v4
