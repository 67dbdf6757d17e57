// Helpers of the picture tests: an XML reader strict enough to reject what a browser
// refuses, the scripts of a survey of known coordinates, and a scratch working folder.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "plot/plot.hpp"
#include "support/chain.hpp"

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

// The drawing scripts "VK/VK_2.scr", "VK/VK_4.scr" and "VK/VK_5.scr" as the programs
// write them for a survey of known coordinates with a polar station (written once).
struct Scripts {
    vk::test::Survey survey;
    std::map<std::string, std::string> files;
};
const Scripts& chain_scripts();

// The centre of a circle or of a triangle.
std::pair<double, double> centre(const Element& shape);

using Folder = ::vk::test::ScratchFolder;

}  // namespace vk::plot::test
