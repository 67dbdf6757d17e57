#include "support.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <sstream>

namespace vk::plot::test {

std::vector<const Element*> Element::all(const std::string& wanted) const {
    std::vector<const Element*> out;
    for (const auto& c : children) {
        if (c->name == wanted) out.push_back(c.get());
        for (const Element* e : c->all(wanted)) out.push_back(e);
    }
    return out;
}

const Element* Element::child(const std::string& a, const std::string& v) const {
    for (const auto& c : children)
        if (c->attr.count(a) && c->attr.at(a) == v) return c.get();
    return nullptr;
}

namespace {

class XmlReader {
  public:
    explicit XmlReader(const std::string& s) : s_(s) {}

    std::unique_ptr<Element> document() {
        for (std::size_t k = 0; k < s_.size();) {
            const auto c = static_cast<unsigned char>(s_[k]);
            const int more = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
            if (more < 0 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r')) throw fault("no character", k);
            for (int m = 1; m <= more; ++m)
                if (k + m >= s_.size() || (static_cast<unsigned char>(s_[k + m]) & 0xc0) != 0x80)
                    throw fault("broken UTF-8", k);
            k += static_cast<std::size_t>(more) + 1;
        }
        if (s_.rfind("<?xml", 0) == 0) {
            if (s_.find("?>") == std::string::npos) throw fault("unended declaration", 0);
            i_ = s_.find("?>") + 2;
        }
        blanks();
        if (!at("<")) throw fault("no root element", i_);
        auto root = element();
        blanks();
        if (i_ != s_.size()) throw fault("text after the root", i_);
        return root;
    }

  private:
    static std::string fault(const std::string& what, std::size_t at) {
        return what + " at byte " + std::to_string(at);
    }
    bool at(const char* t) const { return s_.compare(i_, std::char_traits<char>::length(t), t) == 0; }
    void blanks() {
        while (i_ < s_.size() && std::strchr(" \t\r\n", s_[i_]) && s_[i_]) ++i_;
    }
    std::string name() {
        const std::size_t start = i_;
        while (i_ < s_.size() &&
               (std::isalnum(static_cast<unsigned char>(s_[i_])) || std::strchr("_:-.", s_[i_])))
            ++i_;
        if (i_ == start || std::isdigit(static_cast<unsigned char>(s_[start])) || s_[start] == '-')
            throw fault("bad name", start);
        return s_.substr(start, i_ - start);
    }
    std::string reference() {
        const std::size_t end = s_.find(';', i_);
        const std::string r = end == std::string::npos ? "" : s_.substr(i_ + 1, end - i_ - 1);
        static const std::map<std::string, std::string> named = {
            {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
        const bool numeric = r.size() > 1 && r[0] == '#' &&
                             r.find_first_not_of(r[1] == 'x' ? "0123456789abcdefABCDEF" : "0123456789",
                                                 r[1] == 'x' ? 2 : 1) == std::string::npos;
        if (!named.count(r) && !numeric) throw fault("bad reference", i_);
        i_ = end + 1;
        return numeric ? "?" : named.at(r);
    }
    std::unique_ptr<Element> element() {
        ++i_;
        auto e = std::make_unique<Element>();
        e->name = name();
        while (true) {
            const std::size_t before = i_;
            blanks();
            if (at("/>")) {
                i_ += 2;
                return e;
            }
            if (at(">")) break;
            if (i_ == before) throw fault("no blank before an attribute", i_);
            const std::string a = name();
            if (!at("=\"")) throw fault("attribute without a quoted value", i_);
            std::string v;
            for (i_ += 2; i_ < s_.size() && s_[i_] != '"';)
                if (s_[i_] == '<')
                    throw fault("'<' in an attribute", i_);
                else
                    v += s_[i_] == '&' ? reference() : std::string(1, s_[i_++]);
            if (i_++ >= s_.size()) throw fault("unended attribute", i_);
            if (!e->attr.emplace(a, v).second) throw fault("attribute given twice", i_);
        }
        for (++i_; !at("</");) {
            if (i_ >= s_.size()) throw fault("<" + e->name + "> not closed", i_);
            if (at("<"))
                e->children.push_back(element());
            else
                e->text += s_[i_] == '&' ? reference() : std::string(1, s_[i_++]);
        }
        i_ += 2;
        if (name() != e->name || !at(">")) throw fault("end tag does not close <" + e->name + ">", i_);
        ++i_;
        return e;
    }

    const std::string& s_;
    std::size_t i_ = 0;
};

}  // namespace

std::unique_ptr<Element> parse_xml(const std::string& doc, std::string& why) {
    try {
        return XmlReader(doc).document();
    } catch (const std::string& e) {
        why = e;
        return nullptr;
    }
}

// --- The scripts of a survey of known coordinates ------------------------------------

const Scripts& chain_scripts() {
    static const Scripts scripts = [] {
        Scripts s{vk::test::grow({.seed = 3, .given = 4, .fresh = 8, .polar_stations = 1, .details = 5}), {}};
        Folder f("plot_scripts");
        EXPECT_EQ(vk::test::run_chain(f, s.survey), "");
        for (const char* name : {"VK/VK_2.scr", "VK/VK_4.scr", "VK/VK_5.scr"}) s.files[name] = f.read(name);
        return s;
    }();
    return scripts;
}

std::pair<double, double> centre(const Element& shape) {
    if (shape.name == "circle") return {shape.num("cx"), shape.num("cy")};
    std::istringstream in(shape.attr.at("points"));
    double x, y, sx = 0, sy = 0;
    char comma;
    for (int k = 0; k < 3 && in >> x >> comma >> y; ++k) sx += x / 3, sy += y / 3;
    return {sx, sy};
}

}  // namespace vk::plot::test
