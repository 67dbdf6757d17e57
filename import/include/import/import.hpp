// vokram-import's stages over the readers of raw.hpp: the numbers of the point names, the
// network and the detail points, the data file and the run.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "import/raw.hpp"
#include "vokram/data_file_writer.hpp"

namespace vk {
class Console;
}

namespace vk::imp {

struct Options {
    std::vector<std::string> raw, given;  // file names as given (UTF-8)
    std::string station_code;
    bool replace = false, detail = true, report = false;
    std::optional<double> instrument_height;  // for stations that do not give one
};

// Point names to the suite's numbers. A name that is a whole number from 0 to 65535 keeps
// it; every other name gets a free number, counted down from 65535 so as to keep clear of
// the numbers surveyors give, and keeps it in "VK/Names.txt" for later imports.
class Names {
  public:
    static constexpr long kLargest = 65535;
    // `file`: the bytes of "VK/Names.txt" (lines "name number"), if there is one.
    explicit Names(const std::optional<std::string>& file);
    // Numbers every name not yet known; a whole-number name that the file gives to
    // another name is an error.
    void assign(const std::vector<std::string>& names);
    long number(const std::string& name) const;
    bool empty() const { return order_.empty(); }
    const std::vector<std::string>& added() const { return added_; }
    std::vector<std::string> lines() const;  // the file's lines, UTF-8

  private:
    std::map<std::string, long> by_name_;
    std::vector<std::string> order_, added_;
};
// The number a whole-number name keeps, or none.
std::optional<long> numeric(const std::string& name);

// What the raw files and the lists of given points make: the data file and what to tell.
struct Assembled {
    DataFile file;
    std::vector<std::string> listing;  // UTF-8 lines for the console and --report
};
struct Inputs {
    std::vector<RawData> raw, given;
    std::vector<std::string> raw_names, given_names;
};
Assembled assemble(const Inputs& in, const Options& o, Names& names);

// The whole program in the survey folder `root`: status 0, 1 on bad input (nothing written),
// or a file error's code.
int run(Console& con, const std::filesystem::path& root, const Options& o);

}  // namespace vk::imp
