#include "support.hpp"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <numbers>

namespace vk::plot::test {

// --- XML ---------------------------------------------------------------------

double Element::num(const std::string& a) const {
    const auto it = attr.find(a);
    if (it == attr.end()) {
        ADD_FAILURE() << "<" << name << "> has no attribute " << a;
        return 0;
    }
    return std::stod(it->second);
}

std::vector<const Element*> Element::all(const std::string& wanted) const {
    std::vector<const Element*> out;
    for (const auto& c : children) {
        if (c->name == wanted) out.push_back(c.get());
        for (const Element* e : c->all(wanted)) out.push_back(e);
    }
    return out;
}

const Element* Element::layer(const std::string& label) const {
    for (const auto& c : children) {
        const auto it = c->attr.find("inkscape:label");
        if (c->name == "g" && it != c->attr.end() && it->second == label) return c.get();
    }
    return nullptr;
}

namespace {

class XmlReader {
  public:
    explicit XmlReader(const std::string& s) : s_(s) {}

    std::unique_ptr<Element> document() {
        utf8();
        if (s_.compare(0, 5, "<?xml") == 0) {
            const std::size_t end = s_.find("?>");
            if (end == std::string::npos) throw fault("unended declaration");
            i_ = end + 2;
        }
        misc();
        if (!at('<')) throw fault("no root element");
        auto root = element();
        misc();
        if (i_ != s_.size()) throw fault("text after the root element");
        return root;
    }

    std::string fault(const std::string& what) const { return what + " at byte " + std::to_string(i_); }

  private:
    bool at(char c) const { return i_ < s_.size() && s_[i_] == c; }
    bool at(const char* t) const { return s_.compare(i_, std::char_traits<char>::length(t), t) == 0; }
    void blanks() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n')) ++i_;
    }
    void comment() {
        const std::size_t end = s_.find("-->", i_ + 4);
        if (end == std::string::npos) throw fault("unended comment");
        i_ = end + 3;
    }
    void misc() {
        for (blanks(); at("<!--"); blanks()) comment();
    }
    // Valid UTF-8 and no control character other than tab and the line ends.
    void utf8() const {
        for (std::size_t k = 0; k < s_.size();) {
            const auto c = static_cast<unsigned char>(s_[k]);
            int more = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
            if (more < 0 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0xc0 || c == 0xc1)
                throw "byte " + std::to_string(k) + " is not a character";
            for (int m = 1; m <= more; ++m)
                if (k + m >= s_.size() || (static_cast<unsigned char>(s_[k + m]) & 0xc0) != 0x80)
                    throw "broken UTF-8 at byte " + std::to_string(k);
            k += static_cast<std::size_t>(more) + 1;
        }
    }
    std::string name() {
        const std::size_t start = i_;
        auto first = [](char c) {
            return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == ':';
        };
        auto rest = [&](char c) {
            return first(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.';
        };
        if (i_ >= s_.size() || !first(s_[i_])) throw fault("bad name");
        while (i_ < s_.size() && rest(s_[i_])) ++i_;
        return s_.substr(start, i_ - start);
    }
    std::string reference() {
        const std::size_t end = s_.find(';', i_);
        if (end == std::string::npos || end - i_ > 10) throw fault("bad reference");
        const std::string r = s_.substr(i_ + 1, end - i_ - 1);
        i_ = end + 1;
        static const std::map<std::string, std::string> named = {
            {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
        if (named.count(r)) return named.at(r);
        if (r.size() > 1 && r[0] == '#') {
            const bool hex = r[1] == 'x';
            const std::string digits = r.substr(hex ? 2 : 1);
            if (!digits.empty() && digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") ==
                                       std::string::npos) {
                const unsigned long v = std::stoul(digits, nullptr, hex ? 16 : 10);
                if (v < 0x80) return std::string(1, static_cast<char>(v));
                return "?";  // the tests need only that it is a character
            }
        }
        throw fault("unknown reference &" + r + ";");
    }
    std::unique_ptr<Element> element() {
        ++i_;  // '<'
        auto e = std::make_unique<Element>();
        e->name = name();
        while (true) {
            const std::size_t before = i_;
            blanks();
            if (at("/>")) {
                i_ += 2;
                return e;
            }
            if (at('>')) {
                ++i_;
                break;
            }
            if (i_ == before) throw fault("no blank before an attribute");
            const std::string a = name();
            blanks();
            if (!at('=')) throw fault("attribute " + a + " without value");
            ++i_;
            blanks();
            if (!at('"') && !at('\'')) throw fault("unquoted attribute " + a);
            const char q = s_[i_++];
            std::string v;
            while (i_ < s_.size() && s_[i_] != q) {
                if (s_[i_] == '<') throw fault("'<' in attribute " + a);
                if (s_[i_] == '&')
                    v += reference();
                else
                    v += s_[i_++];
            }
            if (i_ >= s_.size()) throw fault("unended attribute " + a);
            ++i_;
            if (!e->attr.emplace(a, v).second) throw fault("attribute " + a + " given twice");
        }
        while (true) {
            if (i_ >= s_.size()) throw fault("<" + e->name + "> not closed");
            if (at("</")) {
                i_ += 2;
                if (name() != e->name) throw fault("</...> does not close <" + e->name + ">");
                blanks();
                if (!at('>')) throw fault("bad end tag");
                ++i_;
                return e;
            }
            if (at("<!--")) {
                comment();
            } else if (at('<')) {
                e->children.push_back(element());
            } else if (at('&')) {
                e->text += reference();
            } else {
                if (at("]]>")) throw fault("']]>' in text");
                if (at('>'))
                    e->text += '>';  // allowed, though unusual
                else
                    e->text += s_[i_];
                ++i_;
            }
        }
    }

    const std::string& s_;
    std::size_t i_ = 0;
};

}  // namespace

std::unique_ptr<Element> parse_xml(const std::string& doc, std::string& why) {
    XmlReader r(doc);
    try {
        return r.document();
    } catch (const std::string& e) {
        why = e;
        return nullptr;
    }
}

// --- Generated survey ---------------------------------------------------------

Survey Survey::example() {
    Survey s;
    // A quadrilateral of given points about 600 m across, the new points inside it, and a
    // polar station (new point 5) with detail points 15 to 40 m away.
    s.given = {{101, 8512345.678, 4567891.234, 512.346},
               {102, 8512198.402, 4568412.871, 527.118},
               {103, 8512912.655, 4568307.519, 534.902},
               {104, 8512861.337, 4567802.144, 515.806}};
    s.fresh = {{1, 8512471.903, 4568010.512, 518.229},
               {2, 8512389.114, 4568155.377, 521.661},
               {3, 8512566.845, 4568231.098, 526.045},
               {4, 8512702.319, 4568102.651, 523.420},
               {5, 8512640.557, 4567958.823, 516.982}};
    s.detail = {{1001, 8512655.832, 4567975.121, 517.410},
                {1002, 8512662.072, 4567941.549, 516.580},
                {1003, 8512627.912, 4567930.023, 516.110},
                {10004, 8512618.362, 4567969.739, 517.020}};
    s.measured = {{101, 1}, {101, 102}, {1, 2},   {2, 102}, {2, 3},     {3, 103},  {3, 4},
                  {4, 103}, {4, 5},     {5, 104}, {5, 1},   {104, 101}, {102, 103}};
    s.station = 5;
    return s;
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

std::string at(const SurveyPoint& p, int d) {
    return f(p.e, d) + "," + f(p.n, d);
}

std::string at3(const SurveyPoint& p, int d) {
    return at(p, d) + "," + f(p.h, d);
}

}  // namespace

std::string Survey::vk2() const {
    const double t = text;
    std::string s = "ucsicon off osnap none ortho off\r\nrectangle 0,0 1,1\r\nzoom window 0,0 1,1\r\n";
    auto layer = [&](const char* name) { s += std::string("layer s ") + name + "\r\n\r\n"; };
    auto label = [&](const SurveyPoint& p, double dn, bool solid, const std::string& text) {
        s += "text " + f(p.e + 0.8 * t, 3) + "," + f(p.n + dn * t, 3) + (solid ? "," + f(p.h, 3) : "") + " " +
             f(t, 3) + " 0 " + text + "\r\n";
    };
    layer("2D_Points");
    for (const auto& p : given) s += "insert tri " + at(p, 4) + " " + f(t, 3) + "  0\r\n";
    for (const auto& p : fresh) s += "insert cir " + at(p, 4) + " " + f(t, 3) + "  0\r\n";
    layer("2D_Names");
    for (const auto* list : {&given, &fresh})
        for (const auto& p : *list) label(p, 0.5, false, std::to_string(p.number));
    layer("2D_Altitudes");
    for (const auto* list : {&given, &fresh})
        for (const auto& p : *list) label(p, -1.0, false, f(p.h, 2));
    layer("3D_Points");
    for (const auto& p : given) s += "insert tri " + at3(p, 4) + " " + f(t, 3) + "  0\r\n";
    for (const auto& p : fresh) s += "insert cir " + at3(p, 4) + " " + f(t, 3) + "  0\r\n";
    layer("3D_Names");
    for (const auto* list : {&given, &fresh})
        for (const auto& p : *list) label(p, 0.5, true, std::to_string(p.number));
    for (const char* name : {"Measured_R", "Measured_D"}) {
        layer(name);
        for (const auto& [a, b] : measured)
            s += "line " + at(point(a), 4) + " " + at(point(b), 4) + "\r\n\r\n";
    }
    layer("Measured_V");
    for (const auto& [a, b] : measured) s += "line " + at3(point(a), 4) + " " + at3(point(b), 4) + "\r\n\r\n";
    layer("Situation");
    return s + "regen\r\n";
}

std::string Survey::vk4() const {
    std::string s = "layer s Ellipses\r\n\r\n";
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        const SurveyPoint& p = fresh[i];
        const double a = 12.0 + static_cast<double>(i),
                     dir = (30.0 + 25.0 * static_cast<double>(i)) * std::numbers::pi / 180;
        s += "ellipse c " + at(p, 4) + " " + f(p.e + a * std::sin(dir), 4) + "," +
             f(p.n + a * std::cos(dir), 4) + " " + f(a / 2, 4) + "\r\n";
    }
    return s + "\r\nzoom e\r\n";
}

std::string Survey::vk5() const {
    const double t = text;
    const SurveyPoint& st = point(station);
    std::string s = "layer s 2D_Snimka\r\n\r\n";
    for (long known : {1L, 104L}) s += "line " + at(st, 4) + " " + at(point(known), 4) + "\r\n\r\n";
    for (const auto& p : detail) {
        const std::string name = std::to_string(p.number), height = f(p.h, 2);
        s += "layer s 2D_Points\r\n\r\npoint " + at(p, 3) + "\r\n";
        s += "layer s 2D_Names\r\n\r\ntext " + f(p.e + 0.8 * t, 3) + "," + f(p.n + 0.5 * t, 3) + " " +
             f(t, 2) + " 0 " + name + "\r\n";
        s += "layer s 2D_Altitudes\r\n\r\ntext " + f(p.e + 0.8 * t, 3) + "," + f(p.n - t, 3) + " " + f(t, 2) +
             " 0 " + height + "\r\n";
        s += "layer s 2D_Snimka\r\n\r\nline " + at(st, 3) + " " + at(p, 3) + "\r\n\r\n";
        s += "layer s 3D_Points\r\n\r\npoint " + at3(p, 3) + "\r\n";
        s += "layer s 3D_Snimka\r\n\r\nline " + at3(st, 3) + " " + at3(p, 3) + "\r\n\r\n";
    }
    return s + "layer s Situation\r\n\r\nzoom e\r\n";
}

// --- Folder -------------------------------------------------------------------

Folder::Folder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root = std::filesystem::temp_directory_path() /
           ("vokram_plot_" + std::string(info->test_suite_name()) + "_" + info->name());
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "VK");
    std::filesystem::create_directories(root / "Temp");
}

Folder::~Folder() {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
}

void Folder::write(const std::string& rel, const std::string& bytes) const {
    std::ofstream(root / rel, std::ios::binary) << bytes;
}

std::string Folder::read(const std::string& rel) const {
    std::ifstream in(root / rel, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void write_scripts(const Folder& f, const Survey& s) {
    f.write("VK/VK_2.scr", s.vk2());
    f.write("VK/VK_4.scr", s.vk4());
    f.write("VK/VK_5.scr", s.vk5());
}

}  // namespace vk::plot::test
