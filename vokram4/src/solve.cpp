// RESHAVA_N and OPREDELQ_Q: Gaussian reduction of the bordered normal matrix, the
// corrections, and the diagonal of the inverse normal matrix (the cofactors).
//
// The normal matrix of a survey network is sparse: a point is tied only to its
// neighbours. Each row keeps, after its reduction, the last column up to u that is not
// zero; a product with a factor that is exactly zero changes nothing, so the loops
// skip those products and still give every value of the full reduction, in the same
// order of operations.
#include <algorithm>
#include <cmath>

#include "vokram4/adjustment.hpp"

namespace vk::v4 {

namespace {

// Pointers to the diagonal element of each row (from 1): row[i][j - i] is (i, j).
std::vector<double*> rows(Adjustment& a) {
    const std::size_t u = static_cast<std::size_t>(a.u);
    std::vector<double*> row(u + 2, nullptr);
    for (std::size_t i = 1; i <= u + 1; ++i) row[i] = &a.N.rec[op_l(u, i, i) - 1];
    return row;
}

// The last column up to u of row i that is not zero (i when there is none).
std::size_t reach(const double* r, std::size_t i, std::size_t u) {
    std::size_t j = u;
    while (j > i && r[j - i] == 0.0) --j;
    return j;
}

// A reduced pivot that is not clearly positive: the observations leave the point of
// this unknown undetermined (only rounding is left of its diagonal element).
bool undetermined(double pivot, double unreduced) {
    return !(pivot > 1e-10 * unreduced);
}

}  // namespace

void reshava_n(Adjustment& a) {
    const std::size_t u = static_cast<std::size_t>(a.u);
    const std::size_t c = u + 1;  // the absolute-term column
    std::vector<double*> row = rows(a);
    std::vector<std::size_t> last(c + 1, 0);

    // Forward reduction: row I is reduced by every row T above it, T ascending, each
    // final by then: N(I, J) := N(I, J) - N(T, J) * N(T, I) / N(T, T).
    for (std::size_t I = 1; I <= c; ++I) {
        double* rI = row[I];
        const double unreduced = rI[0];
        for (std::size_t T = 1; T < I; ++T) {
            if (I <= u && last[T] < I) continue;  // N(T, I) is zero
            const double* rT = row[T];
            const double f = rT[I - T];
            if (f == 0.0) continue;
            const double p = rT[0];
            const std::size_t end = std::min(last[T], u);
            for (std::size_t J = I; J <= end; ++J) rI[J - I] -= rT[J - T] * f / p;
            rI[c - I] -= rT[c - T] * f / p;
        }
        if (I > u) break;
        if (undetermined(rI[0], unreduced)) {
            a.rep->line("    Точка " + in_quotes(whole(a.owner(static_cast<int>(I)))) +
                        " не се определя от измерванията: изравнението не е възможно.");
            stop();
        }
        last[I] = reach(rI, I, u);
    }
    a.pff = row[c][0];

    // Back substitution into "Temp/dx.tmp": N X + b = 0 with X(u + 1) = 1, the
    // corrections in centimetres, kept in 32 bits.
    a.X.create(u + 5);
    a.X[c] = 1.0f;
    for (std::size_t I = u; I >= 1; --I) {
        const double* rI = row[I];
        const double p = rI[0];
        double sum = 0.0;
        sum -= static_cast<double>(a.X[c]) * rI[c - I] / p;
        for (std::size_t J = last[I]; J > I; --J) sum -= static_cast<double>(a.X[J]) * rI[J - I] / p;
        a.X[I] = static_cast<float>(sum);
    }
    a.N.close();
}

void opredelq_q(Adjustment& a) {
    const std::size_t u = static_cast<std::size_t>(a.u);
    const std::size_t c = u + 1;
    a.N.reopen();
    a.Q.create(u + 5);
    a.M.create(u + 5);
    std::vector<double*> row = rows(a);
    std::vector<std::size_t> last(c + 1, 0);
    for (std::size_t i = 1; i <= u; ++i) {
        row[i][c - i] = 0.0;
        last[i] = reach(row[i], i, u);
    }
    row[c][0] = 0.0;

    // Column T of the reduced matrix above its diagonal, from the first row that
    // reaches it, and the reduced pivots, side by side in memory.
    std::vector<double> d(c + 1, 0.0), s(c + 1, 0.0), column;
    std::vector<std::size_t> top(c + 1), start(c + 1);
    for (std::size_t T = 1; T <= u; ++T) {
        d[T] = row[T][0];
        top[T] = T;
    }
    for (std::size_t i = u; i >= 1; --i)
        for (std::size_t j = i + 1; j <= last[i]; ++j) top[j] = i;
    for (std::size_t T = 1; T <= u; ++T) {
        start[T] = column.size();
        for (std::size_t i = top[T]; i < T; ++i) column.push_back(last[i] >= T ? row[i][T - i] : 0.0);
    }

    // For each unknown I, from the last: the unit right-hand side of row I is carried
    // through the forward reduction (the column b with b(I) = -1, reduced as the
    // absolute terms were), then the back substitution solves N q = e(I) and q(I) is
    // the cofactor of unknown I, the diagonal element of the inverse.
    std::vector<double> b(c + 1, 0.0);
    for (std::size_t I = u; I >= 1; --I) {
        std::fill(b.begin() + static_cast<std::ptrdiff_t>(I), b.end(), 0.0);
        b[I] = -1.0;
        for (std::size_t T = I; T < u; ++T) {
            const double bT = b[T];
            if (bT == 0.0) continue;
            const double* rT = row[T];
            const double p = rT[0];
            for (std::size_t J = T + 1; J <= last[T]; ++J) b[J] -= bT * rT[J - T] / p;
        }
        for (std::size_t J = I; J <= u; ++J) row[J][c - J] = b[J];

        // Back substitution, q(J) = -sum over T = u + 1 down to J + 1 of
        // q(T) N(J, T) / N(J, J). It runs by columns: as soon as q(T) is known it is
        // taken off every row above, so each row still receives its terms from the
        // highest T down, and the rows of one column are worked on side by side.
        a.Q[c] = 1.0f;
        for (std::size_t J = I; J <= u; ++J) s[J] = 0.0 - static_cast<double>(a.Q[c]) * b[J] / d[J];
        for (std::size_t T = u; T >= I; --T) {
            a.Q[T] = static_cast<float>(s[T]);
            const double q = static_cast<double>(a.Q[T]);
            const std::size_t lo = std::max(I, top[T]);
            const double* nT = &column[start[T] + (lo - top[T])];
            for (std::size_t J = lo; J < T; ++J) s[J] -= q * nT[J - lo] / d[J];
        }
        a.M[I] = a.Q[I];
    }
    a.Q.close();
}

}  // namespace vk::v4
