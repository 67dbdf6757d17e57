// Helpers of the picture tests: an XML reader strict enough to reject what a browser
// refuses, the scripts of a survey of known coordinates in the suite's layouts, and a
// scratch working folder.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "plot/plot.hpp"
#include "support/scratch.hpp"

namespace vk::plot::test {

// An element of an XML document; `text` is its character data with references resolved.
struct Element {
    std::string name;
    std::map<std::string, std::string> attr;
    std::string text;
    std::vector<std::unique_ptr<Element>> children;

    double num(const std::string& a) const { return std::stod(attr.at(a)); }
    std::vector<const Element*> all(const std::string& name) const;  // below this one, in order
    // The child whose attribute `a` is `v` (a layer by its inkscape:label, a group by id).
    const Element* child(const std::string& a, const std::string& v) const;
};

// A whole document: declaration, one root, double-quoted attributes, the five named and the
// numeric character references, valid UTF-8 without control characters. nullptr and
// the fault in `why` otherwise.
std::unique_ptr<Element> parse_xml(const std::string& doc, std::string& why);

struct SurveyPoint {
    long number;
    double e, n, h;
};

// Given and new points of a network with its measured pairs, detail points of a polar
// station on new point 5, and the error ellipses of the new points.
struct Survey {
    std::vector<SurveyPoint> given, fresh, detail;
    std::vector<std::pair<long, long>> measured;

    Survey();
    const SurveyPoint& point(long number) const;
    // The three scripts, Windows-1251 with CR LF, text height 0.2 m.
    std::string vk2() const;
    std::string vk4() const;
    std::string vk5() const;
};

using Folder = ::vk::test::ScratchFolder;

}  // namespace vk::plot::test
