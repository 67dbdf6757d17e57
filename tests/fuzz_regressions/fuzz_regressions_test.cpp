// Inputs that once crashed a reader, hung it or raised a sanitizer report, and the seed
// files of the same reader: each comes to an orderly end (a stop or a fatal input error
// with its message) and never lets another exception escape. Inputs of a fault still
// being repaired wait in an "open" folder beside them and are not fed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "entries.hpp"

namespace {

namespace fs = std::filesystem;

using Entry = void (*)(std::string_view);

std::vector<fs::path> inputs_of(const std::string& target) {
    std::vector<fs::path> files;
    for (const fs::path& dir :
         {fs::path(VOKRAM_FUZZ_CORPUS) / target, fs::path(VOKRAM_FUZZ_REGRESSIONS) / target}) {
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file()) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void feed_all(const std::string& target, Entry entry) {
    const std::vector<fs::path> files = inputs_of(target);
    ASSERT_FALSE(files.empty()) << "no seed files for " << target;
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.string());
        EXPECT_NO_THROW(entry(contents(f)));
    }
}

TEST(FuzzRegressions, SurveyDataInVokram1) {
    feed_all("geo_data", vk::fuzz::geo_data);
}
TEST(FuzzRegressions, SurveyDataInPolarStations) {
    feed_all("geo_data_polar", vk::fuzz::geo_data_polar);
}
TEST(FuzzRegressions, Parameters) {
    feed_all("params", vk::fuzz::params);
}
TEST(FuzzRegressions, NetworkForThePlaneSolution) {
    feed_all("vk1", vk::fuzz::vk1);
}
TEST(FuzzRegressions, NetworkForTheAdjustment) {
    feed_all("vk2_adjust", vk::fuzz::vk2_adjust);
}
TEST(FuzzRegressions, NetworkForThePolarStations) {
    feed_all("vk2_polar", vk::fuzz::vk2_polar);
}
TEST(FuzzRegressions, RunToken) {
    feed_all("token", vk::fuzz::token);
}

}  // namespace
