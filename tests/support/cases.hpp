// Tables of cases run as parameterised tests: each row is a test of its own, named after
// the phrase of its `behaviour` member that says what the row guards, so that a failure
// names its row.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <string_view>

namespace vk::test {

// The test name of a row: the ASCII words of `behaviour` (letters and digits) run together,
// each begun with a capital ("a group of 99 numbers is read" -> "AGroupOf99NumbersIsRead");
// an apostrophe is dropped inside its word, every other character separates words.
inline std::string case_name(std::string_view behaviour) {
    std::string name;
    bool word = false;
    for (const char c : behaviour) {
        if (c == '\'') continue;
        const bool ascii = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (ascii) name += word ? c : static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        word = ascii;
    }
    return name;
}

// The fourth argument of INSTANTIATE_TEST_SUITE_P for a table whose rows have a `behaviour`:
// each row's case_name, its index appended when an earlier row of the table took the name.
struct ByBehaviour {
    template <class Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
        // The rows are named in order, from index 0, once per test of the suite.
        static std::set<std::string> taken;
        if (row.index == 0) taken.clear();
        std::string name = case_name(row.param.behaviour);
        if (name.empty() || !taken.insert(name).second) taken.insert(name += std::to_string(row.index));
        return name;
    }
};

// A row shown by its behaviour where gtest prints the parameter of a test (a table in an
// unnamed namespace brings it in with `using test::PrintTo;`).
template <class Row>
requires requires(const Row& r) {
    std::string_view(r.behaviour);
}
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.behaviour;
}

}  // namespace vk::test
