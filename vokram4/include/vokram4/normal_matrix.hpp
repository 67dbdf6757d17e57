// The record files of the adjustment and its bordered normal matrix: the matrix owns
// its records, its Gaussian reduction, the solutions with the reduced matrix and the
// elements of the inverse (the cofactors) that the accuracies and the diagnostics read.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace vk::v4 {

// One record file of the adjustment: fixed-size little-endian records numbered from 1.
// The records live in memory while the file is open and reach the disk when it is
// closed; a file without a path lives only in memory (tests of single stages).
template <class T>
class RecordFile {
  public:
    std::filesystem::path path;  // empty: memory only
    std::string name;            // the name shown in a fatal error
    std::vector<T> rec;          // rec[k - 1] is record k

    // A new file of `count` records, all zero.
    void create(std::size_t count) {
        rec.assign(count, T(0));
        open_ = true;
    }
    void reopen() { open_ = true; }
    bool is_open() const { return open_; }
    // Writes the records to the disk (when the file has a path).
    void close();

    T& operator[](std::size_t k) { return rec[k - 1]; }
    T operator[](std::size_t k) const { return rec[k - 1]; }

  private:
    bool open_ = false;
};

// The record number of element (i, j), i <= j, of the bordered normal matrix of u
// unknowns, upper triangle packed by rows: (i - 1)(u + 2 - i/2) + (j - i) + 1.
inline std::size_t op_l(std::size_t u, std::size_t i, std::size_t j) {
    return (i - 1) * (2 * u + 4 - i) / 2 + (j - i) + 1;
}

// Elements of the inverse of the normal matrix of the unknowns on an envelope: row i
// from its diagonal to column reach(i), the reach never falling from one row to the
// next, and the mirror of each element, so that every row is held whole from the first
// row that reaches it. Pairs (i, j) are read either way round.
class Cofactors {
  public:
    int unknowns() const { return static_cast<int>(reach_.size()) - 1; }
    // True when element (i, j) lies in the envelope.
    bool holds(int i, int j) const {
        if (i > j) std::swap(i, j);
        return i >= 1 && j <= unknowns() && j <= reach_[static_cast<std::size_t>(i)];
    }
    double operator()(int i, int j) const { return q_[at(i, j)]; }

  private:
    friend class NormalMatrix;
    std::size_t at(int i, int j) const {
        const std::size_t r = static_cast<std::size_t>(i);
        return start_[r] + static_cast<std::size_t>(j - top_[r]);
    }
    std::vector<int> reach_;          // the last column of each row (from 1)
    std::vector<int> top_;            // the first row that reaches each column
    std::vector<std::size_t> start_;  // where row i, from column top(i), is held in q_
    std::vector<double> q_;
};

// The bordered normal matrix of u unknowns, (u + 1) x (u + 1): the unknowns' normal
// matrix bordered by the absolute-term column u + 1 and the weighted sum of the squared
// absolute terms at (u + 1, u + 1); its upper triangle packed by rows is the records of
// "Temp/N_matrix.tmp".
//
// The reduction leaves in place U, the reduced upper triangle: N = U' D^-1 U with D the
// diagonal of U. A network's normal matrix is sparse (a point is tied only to its
// neighbours), so each row keeps, after its reduction, the last column up to u that is
// not zero: its envelope. A product with a factor that is exactly zero changes nothing,
// so the loops skip those products and still give every value of the full reduction,
// in the same order of operations.
class NormalMatrix : public RecordFile<double> {
  public:
    // A new matrix of u unknowns, all zero: its used records and five more.
    void create(int u);
    int unknowns() const { return u_; }
    // Adds x * y into element (i, j), i <= j.
    void add(int i, int j, double x, double y) {
        rec[op_l(static_cast<std::size_t>(u_), static_cast<std::size_t>(i), static_cast<std::size_t>(j)) -
            1] += x * y;
    }

    // Gaussian reduction in place, row after row: row I is reduced by every row T above
    // it, T ascending, each final by then: N(I, J) := N(I, J) - N(T, J) N(T, I) / N(T, T).
    // Returns 0, or the first unknown whose reduced pivot is not clearly positive (the
    // observations leave it undetermined); the reduction ends there.
    int reduce();
    // The reduced element (u + 1, u + 1): the least weighted sum of squared residuals.
    double pff() const { return row(u_ + 1)[0]; }
    // Back substitution into X (u + 5 records, 32 bits): N X + b = 0 with X(u + 1) = 1.
    void back_substitute(RecordFile<float>& X) const;
    // Column I of the inverse into Q (u + 5 records, 32 bits), Q(u + 1) = 1: the unit
    // right-hand side -1 in row I is carried through the reduction in the absolute-term
    // column, where it stays, and the back substitution solves N q = e(I). Element
    // (u + 1, u + 1) is cleared.
    void solve_unit(int I, RecordFile<float>& Q);
    // The inverse of the reduced normal matrix of the unknowns on the envelope of the
    // reduction, widened so that row i reaches at least column need[i] (need has u + 1
    // entries, need[0] unused).
    Cofactors inverse(const std::vector<int>& need) const;

  private:
    // Row i from its diagonal on: row(i)[j - i] is element (i, j).
    double* row(int i) {
        return &rec[op_l(u_s(), static_cast<std::size_t>(i), static_cast<std::size_t>(i)) - 1];
    }
    const double* row(int i) const {
        return &rec[op_l(u_s(), static_cast<std::size_t>(i), static_cast<std::size_t>(i)) - 1];
    }
    std::size_t u_s() const { return static_cast<std::size_t>(u_); }

    int u_ = 0;
    std::vector<int> last_;  // of each reduced row (from 1): its last column up to u that is not zero
};

}  // namespace vk::v4
