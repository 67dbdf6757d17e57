// Helpers of the picture tests: an XML reader strict enough to reject what a browser
// refuses, scripts written in the suite's layouts from known coordinates, and a scratch
// working folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "plot/plot.hpp"

namespace vk::plot::test {

// An element of an XML document; `text` holds its character data, entities resolved.
struct Element {
    std::string name;
    std::map<std::string, std::string> attr;
    std::string text;
    std::vector<std::unique_ptr<Element>> children;

    double num(const std::string& a) const;  // a numeric attribute; fails the test when absent
    // Every element named `name` below this one, in document order.
    std::vector<const Element*> all(const std::string& name) const;
    // The child group whose inkscape:label is `label`, or nullptr.
    const Element* layer(const std::string& label) const;
};

// Parses a whole document: the declaration, one root element, nested elements with
// quoted attributes, character data with the five named and numeric character
// references, comments; valid UTF-8 without control characters. On a fault returns
// nullptr and says where in `why`.
std::unique_ptr<Element> parse_xml(const std::string& doc, std::string& why);

// A point of a generated survey in absolute coordinates.
struct SurveyPoint {
    long number;
    double e, n, h;
};

// A small survey: given and new points of a network with its measured pairs, a polar
// station's detail points, and the error ellipses of the new points.
struct Survey {
    std::vector<SurveyPoint> given, fresh, detail;
    std::vector<std::pair<long, long>> measured;  // pairs of point numbers
    long station = 0;                             // the polar station, a new point
    double text = 0.2;                            // text height of the scripts

    static Survey example();
    const SurveyPoint& point(long number) const;
    // The scripts in the suite's layouts, Windows-1251 with CR LF.
    std::string vk2() const;
    std::string vk4() const;
    std::string vk5() const;
};

// A working folder with VK/ and Temp/, removed at the end of the test.
struct Folder {
    std::filesystem::path root;
    Folder();
    ~Folder();
    void write(const std::string& rel, const std::string& bytes) const;
    std::string read(const std::string& rel) const;
};

// Writes the scripts of `s` into the folder.
void write_scripts(const Folder& f, const Survey& s);

}  // namespace vk::plot::test
