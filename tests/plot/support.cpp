#include "support.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

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

// --- A survey of known coordinates -------------------------------------------------

Survey::Survey() {
    // Four given points about 700 m apart, new points inside, detail points 15 to 40 m
    // from new point 5.
    given = {{101, 8512345.678, 4567891.234, 512.346},
             {102, 8512198.402, 4568412.871, 527.118},
             {103, 8512912.655, 4568307.519, 534.902},
             {104, 8512861.337, 4567802.144, 515.806}};
    fresh = {{1, 8512471.903, 4568010.512, 518.229},
             {2, 8512389.114, 4568155.377, 521.661},
             {3, 8512566.845, 4568231.098, 526.045},
             {4, 8512702.319, 4568102.651, 523.420},
             {5, 8512640.557, 4567958.823, 516.982}};
    detail = {{1001, 8512655.832, 4567975.121, 517.410},
              {1002, 8512662.072, 4567941.549, 516.580},
              {1003, 8512627.912, 4567930.023, 516.110},
              {10004, 8512618.362, 4567969.739, 517.020}};
    measured = {{101, 1}, {101, 102}, {1, 2},   {2, 102}, {2, 3},     {3, 103},  {3, 4},
                {4, 103}, {4, 5},     {5, 104}, {5, 1},   {104, 101}, {102, 103}};
}

const SurveyPoint& Survey::point(long number) const {
    for (const auto* list : {&given, &fresh, &detail})
        for (const auto& p : *list)
            if (p.number == number) return p;
    throw std::out_of_range("no point " + std::to_string(number));
}

namespace {

std::string f(double v, int d) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", d, v);
    return buf;
}
// "E,N" or "E,N,H" with d decimals.
std::string at(const SurveyPoint& p, int d, bool solid = false) {
    return f(p.e, d) + "," + f(p.n, d) + (solid ? "," + f(p.h, d) : "");
}
// A number above right of its point (dn = 0.5) or a height below right (dn = -1).
std::string text(const SurveyPoint& p, double dn, const std::string& label, bool solid = false) {
    return "text " + f(p.e + 0.16, 3) + "," + f(p.n + dn * 0.2, 3) + (solid ? "," + f(p.h, 3) : "") +
           " 0.200 0 " + label + "\r\n";
}

}  // namespace

std::string Survey::vk2() const {
    std::string s = "ucsicon off osnap none ortho off\r\nrectangle 0,0 1,1\r\nzoom window 0,0 1,1\r\n";
    s += "layer s 2D_Points\r\n\r\n";
    for (const auto& p : given) s += "insert tri " + at(p, 4) + " 0.200  0\r\n";
    for (const auto& p : fresh) s += "insert cir " + at(p, 4) + " 0.200  0\r\n";
    for (const char* layer : {"2D_Names", "2D_Altitudes", "3D_Names"}) {
        s += std::string("layer s ") + layer + "\r\n\r\n";
        for (const auto* list : {&given, &fresh})
            for (const auto& p : *list)
                s += std::string(layer) == "2D_Altitudes"
                         ? text(p, -1, f(p.h, 2))
                         : text(p, 0.5, std::to_string(p.number), layer[0] == '3');
    }
    for (const char* layer : {"Measured_R", "Measured_D", "Measured_V"}) {
        s += std::string("layer s ") + layer + "\r\n\r\n";
        const bool solid = std::string(layer) == "Measured_V";
        for (const auto& [a, b] : measured)
            s += "line " + at(point(a), 4, solid) + " " + at(point(b), 4, solid) + "\r\n\r\n";
    }
    return s + "layer s Situation\r\n\r\nregen\r\n";
}

std::string Survey::vk4() const {
    std::string s = "layer s Ellipses\r\n\r\n";
    for (std::size_t i = 0; i < fresh.size(); ++i) {  // semi-axes 12 m and more, 6 m and more
        const double a = 12.0 + static_cast<double>(i), dir = 0.5 + 0.4 * static_cast<double>(i);
        s += "ellipse c " + at(fresh[i], 4) + " " + f(fresh[i].e + a * std::sin(dir), 4) + "," +
             f(fresh[i].n + a * std::cos(dir), 4) + " " + f(a / 2, 4) + "\r\n";
    }
    return s + "\r\nzoom e\r\n";
}

std::string Survey::vk5() const {
    const SurveyPoint& st = point(5);
    std::string s = "layer s 2D_Snimka\r\n\r\n";
    for (long known : {1L, 104L}) s += "line " + at(st, 4) + " " + at(point(known), 4) + "\r\n\r\n";
    for (const auto& p : detail) {
        s += "layer s 2D_Points\r\n\r\npoint " + at(p, 3) + "\r\n";
        s += "layer s 2D_Names\r\n\r\n" + text(p, 0.5, std::to_string(p.number));
        s += "layer s 2D_Altitudes\r\n\r\n" + text(p, -1, f(p.h, 2));
        s += "layer s 2D_Snimka\r\n\r\nline " + at(st, 3) + " " + at(p, 3) + "\r\n\r\n";
        s += "layer s 3D_Points\r\n\r\npoint " + at(p, 3, true) + "\r\n";
        s += "layer s 3D_Snimka\r\n\r\nline " + at(st, 3, true) + " " + at(p, 3, true) + "\r\n\r\n";
    }
    return s + "layer s Situation\r\n\r\nzoom e\r\n";
}

}  // namespace vk::plot::test
