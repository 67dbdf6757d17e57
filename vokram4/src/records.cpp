// The record files of the adjustment. The algorithms work on the records in memory;
// a file reaches the disk whole when it is closed, with exactly the records it holds.
#include <bit>
#include <cmath>

#include "vokram/folder_lock.hpp"
#include "vokram4/adjustment.hpp"

namespace vk::v4 {

static_assert(std::endian::native == std::endian::little, "the record files are little-endian");

template <class T>
void RecordFile<T>::close() {
    if (!open_) return;
    open_ = false;
    if (path.empty()) return;
    write_whole_file(path, name,
                     std::string_view(reinterpret_cast<const char*>(rec.data()), rec.size() * sizeof(T)));
}

template class RecordFile<double>;
template class RecordFile<float>;

// The accuracy of a coordinate: m0 times the root of its cofactor, taken on the
// 32-bit cofactor as "Temp/Q_main.tmp" holds it.
double Adjustment::mx(int k) const {
    return m0 * std::sqrt(M[static_cast<std::size_t>(2 * k + 1)]);
}
double Adjustment::my(int k) const {
    return m0 * std::sqrt(M[static_cast<std::size_t>(2 * k + 2)]);
}

}  // namespace vk::v4
