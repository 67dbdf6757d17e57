// The stop of a program whose table is full: vokram1, vokram2 and vokram4 show it on the
// screen (vokram1 on row 20, the others on row 18) and give it as the reason of the stop.
#pragma once

#include "vokram/console.hpp"
#include "vokram/frame.hpp"

namespace vk {

inline constexpr const char* kCapacityStop = "АКТИВИРАНА ЗАЩИТА НА ПРОГРАМАТА.";

[[noreturn]] inline void capacity_stop(Console& con, int row) {
    con.write_at(20, row, kCapacityStop);
    throw ModuleStop{kCapacityStop};
}

}  // namespace vk
