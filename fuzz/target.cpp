// One libFuzzer target: VOKRAM_FUZZ_ENTRY names the reader it feeds (see entries.hpp).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "entries.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vk::fuzz::VOKRAM_FUZZ_ENTRY(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
