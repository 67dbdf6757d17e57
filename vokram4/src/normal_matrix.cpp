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

// y[0..n) -= f x[0..n) and z[0..n) -= g x[0..n), x read once.
void take_off_both(double* y, double* z, const double* x, int n, double f, double g) {
    for (int k = 0; k < n; ++k) {
        const double t = x[k];
        y[k] -= f * t;
        z[k] -= g * t;
    }
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
    std::vector<double*> rows(static_cast<std::size_t>(c) + 1);
    for (int i = 1; i <= c; ++i) rows[i] = row(i);
    // The rows above `first` end before row I and before every row after it.
    for (int I = 1, first = 1; I <= c; ++I) {
        double* rI = rows[I];
        const double unreduced = rI[0];
        while (first < I && last_[first] < I) ++first;
        for (int T = I <= u ? first : 1; T < I; ++T) {
            if (I <= u && last_[T] < I) continue;  // N(T, I) is zero
            const double* rT = rows[T];
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

    // The back substitution with that column as the absolute terms solves N q = e(I).
    back_substitute(Q);
}

// Takahashi's recurrence from the last row up: with l(i, k) = U(i, k) / d(i),
//   Q(i, j) = [i = j] / d(i) - sum over k > i of l(i, k) Q(k, j),   j >= i,
// where l(i, k) is zero beyond the row's last column. For j up to the reach of row i
// and k up to its last column, every Q(k, j) lies in rows that reach as far, so the
// envelope holds all the recurrence reads. Each term l(i, k) that is not zero takes
// row k of the inverse, whole from column i + 1, off the new row i at once: the work is
// of the order of the reduction itself.
Cofactors NormalMatrix::inverse(const std::vector<int>& need) const {
    const int u = u_;
    Cofactors z;
    z.reach_.assign(static_cast<std::size_t>(u) + 1, 0);
    z.top_.assign(static_cast<std::size_t>(u) + 1, 0);
    for (int i = 1, r = 0; i <= u; ++i) {
        const int was = r;
        r = std::min(u, std::max({r, i, last_[i], need[i]}));
        z.reach_[i] = r;
        for (int j = was + 1; j <= r; ++j) z.top_[j] = i;
    }
    z.start_.assign(static_cast<std::size_t>(u) + 2, 0);
    for (int i = 1; i <= u; ++i)
        z.start_[i + 1] = z.start_[i] + static_cast<std::size_t>(z.reach_[i] - z.top_[i] + 1);
    z.q_.assign(z.start_[u + 1], 0.0);

    // Row i closes with its diagonal from its own terms; then the row and its mirror go
    // into the envelope. a[j - i - 1] holds Q(i, j), j = i + 1 .. reach(i).
    auto finish = [&](int i, const double* a) {
        const double* r = row(i);
        const int R = z.reach_[i];
        double qii = 1.0 / r[0];
        for (int k = i + 1; k <= last_[i]; ++k)
            if (r[k - i] != 0.0) qii -= r[k - i] / r[0] * a[k - i - 1];
        z.q_[z.at(i, i)] = qii;
        std::copy(a, a + (R - i), &z.q_[z.at(i, i + 1)]);
        for (int j = i + 1; j <= R; ++j) z.q_[z.at(j, i)] = a[j - i - 1];
    };

    // Two rows at a time, i and h = i - 1, so that each row k of the inverse beyond i is
    // read once for both; row h then takes row i, finished by then.
    std::vector<double> ai(static_cast<std::size_t>(u) + 1), ah(ai.size());  // ah[j - i]: Q(h, j)
    int i = u;
    if (u % 2 == 1) finish(i--, ai.data());  // the last row has no terms beyond it
    for (; i >= 2; i -= 2) {
        const int h = i - 1;
        const double *ri = row(i), *rh = row(h);
        const int Ri = z.reach_[i], Rh = z.reach_[h];
        std::fill(ai.begin(), ai.begin() + (Ri - i), 0.0);
        std::fill(ah.begin(), ah.begin() + (Rh - i + 1), 0.0);
        for (int k = i + 1, K = std::max(last_[i], last_[h]); k <= K; ++k) {
            const double li = ri[k - i] / ri[0], lh = rh[k - h] / rh[0];
            if (li == 0.0 && lh == 0.0) continue;
            const double* zk = &z.q_[z.at(k, i + 1)];
            if (li == 0.0) {
                take_off(&ah[1], zk, Rh - i, lh);
            } else if (lh == 0.0) {
                take_off(ai.data(), zk, Ri - i, li);
            } else {
                take_off_both(ai.data(), &ah[1], zk, Rh - i, li, lh);
                take_off(&ai[Rh - i], zk + (Rh - i), Ri - Rh, li);
            }
        }
        finish(i, ai.data());
        // Q(h, i) takes row i beyond i by symmetry, and all of h's terms take row i.
        const double* zi = &z.q_[z.at(i, i)];
        for (int k = i; k <= last_[h]; ++k) ah[0] -= rh[k - h] / rh[0] * zi[k - i];
        if (const double l = rh[1] / rh[0]; l != 0.0) take_off(&ah[1], zi + 1, Rh - i, l);
        finish(h, ah.data());
    }
    return z;
}

}  // namespace vk::v4
