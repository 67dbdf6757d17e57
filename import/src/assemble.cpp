// The network and the detail points, the order of the faces and rounds, and the data file.
#include <algorithm>
#include <cmath>
#include <set>

#include "import/import.hpp"
#include "vokram/text.hpp"

namespace vk::imp {

namespace {

// The given points of all lists, one entry a name; the same name with other coordinates is
// an error.
std::vector<RawPoint> given_points(const Inputs& in) {
    std::vector<RawPoint> out;
    for (const RawData& d : in.given)
        for (const RawPoint& p : d.points) {
            if (p.name.empty()) fail(p.at, "точка без име");
            for (const std::optional<double>* v : {&p.x, &p.y, &p.h})
                if (*v && **v < 0)
                    fail(p.at,
                         "точка " + p.name + " с отрицателна координата, каквато VK/Geo_Data.txt не носи");
            const auto same =
                std::find_if(out.begin(), out.end(), [&](const RawPoint& q) { return q.name == p.name; });
            if (same == out.end()) {
                out.push_back(p);
                continue;
            }
            auto differ = [](const std::optional<double>& a, const std::optional<double>& b) {
                return a.has_value() != b.has_value() || (a && std::abs(*a - *b) > 0.00005);
            };
            if (differ(same->x, p.x) || differ(same->y, p.y) || differ(same->h, p.h))
                fail(p.at, "точка " + p.name + " е дадена с други координати в " + same->at.text());
        }
    return out;
}

DataFile::Sight sight(const RawSight& k, long nt) {
    // A circle reading of exactly 0 would read as "not measured": 400 is the same direction.
    auto measured = [](const std::optional<double>& v) { return v ? (*v == 0 ? 400.0 : *v) : 0.0; };
    std::optional<double> R = k.R;  // a circle reading within [0, 400)
    if (R) R = std::fmod(std::fmod(*R, 400.0) + 400.0, 400.0);
    return {nt, k.ht, measured(R), measured(k.V), k.S ? *k.S : 0.0};
}

// A setup's sights in the order vokram1 pairs them: round after round, within a round each
// target's faces one after the other. A round that would begin with the target that ended
// the one before it (two sights of one face side by side) begins with its next target, or
// in a record of its own.
std::vector<std::vector<const RawSight*>> rounds(const std::vector<const RawSight*>& sights, int& count) {
    std::map<std::string, std::vector<std::pair<bool, bool>>> faces;  // per target and round: I, II taken
    std::vector<std::vector<std::string>> order;                      // targets of each round
    std::map<std::pair<std::string, std::size_t>, std::vector<const RawSight*>> of;
    for (const RawSight* k : sights) {
        auto& f = faces[k->target];
        std::size_t r = 0;
        while (r < f.size() && (k->face2 ? f[r].second : f[r].first)) ++r;
        if (r == f.size()) f.push_back({false, false});
        (k->face2 ? f[r].second : f[r].first) = true;
        if (order.size() <= r) order.resize(r + 1);
        auto& list = of[{k->target, r}];
        if (list.empty()) order[r].push_back(k->target);
        list.push_back(k);
    }
    count = static_cast<int>(order.size());
    std::vector<std::vector<const RawSight*>> records(1);
    std::string last;
    for (std::size_t r = 0; r < order.size(); ++r) {
        std::vector<std::string>& t = order[r];
        if (t.front() == last) {
            if (t.size() > 1)
                std::rotate(t.begin(), t.begin() + 1, t.end());
            else
                records.emplace_back();
        }
        for (const std::string& n : t)
            for (const RawSight* k : of[{n, r}]) records.back().push_back(k);
        last = t.back();
    }
    return records;
}

struct Counts {
    std::map<std::string, std::set<std::string>> stations;            // target -> stations sighting it
    std::map<std::pair<std::string, std::string>, int> face1, face2;  // (station, target)
};

// One station setup: its sights to network points round by round, one record a round where
// rounds would otherwise meet badly, and its detail block after the last record.
void put_setup(Assembled& a, const RawStation& s, double hs, const std::vector<const RawSight*>& used,
               const std::set<std::string>& network, const Names& names, long& sights, long& details) {
    std::vector<const RawSight*> net, det;
    for (const RawSight* k : used) (network.count(k->target) ? net : det).push_back(k);
    if (net.empty()) net.swap(det);  // nothing to orient on: every sight into the network
    if (net.empty()) {
        a.listing.push_back("  пропусната " + s.at.text() + ": станция " + s.name + " без визури");
        return;
    }
    int count = 0;
    const long ns = names.number(s.name);
    for (const std::vector<const RawSight*>& r : rounds(net, count)) {
        a.file.records.push_back({ns, hs, {}, {}});
        for (const RawSight* k : r)
            a.file.records.back().sights.push_back(sight(*k, names.number(k->target)));
    }
    std::map<std::string, std::size_t> first;  // the faces of a detail point one after the other
    for (const RawSight* k : det) first.emplace(k->target, first.size());
    std::stable_sort(det.begin(), det.end(), [&](const RawSight* x, const RawSight* y) {
        return first[x->target] < first[y->target];
    });
    for (const RawSight* k : det) a.file.records.back().details.push_back(sight(*k, names.number(k->target)));
    const long two = std::count_if(net.begin(), net.end(), [](const RawSight* k) { return k->face2; });
    a.listing.push_back("  станция " + s.name + " (" + std::to_string(ns) + ") от " + s.at.text() +
                        ": визури " + std::to_string(net.size()) + " (I " + std::to_string(net.size() - two) +
                        ", II " + std::to_string(two) + "), серии " + std::to_string(count) +
                        ", подробни точки " + std::to_string(first.size()));
    const long no_height =
        std::count_if(used.begin(), used.end(), [](const RawSight* k) { return !k->ht_given; });
    if (no_height > 0)
        a.listing.push_back("    визури без височина на сигнала: " + std::to_string(no_height) +
                            ", взета е 0.000");
    sights += static_cast<long>(net.size());
    details += static_cast<long>(first.size());
}

}  // namespace

Assembled assemble(const Inputs& in, const Options& o, Names& names) {
    Assembled a;
    const std::vector<RawPoint> given = given_points(in);
    std::vector<std::string> all;
    std::set<std::string> network;
    for (const RawPoint& p : given) all.push_back(p.name), network.insert(p.name);
    Counts c;
    std::vector<std::pair<const RawStation*, std::vector<const RawSight*>>> setups;
    for (std::size_t f = 0; f < in.raw.size(); ++f) {
        const RawData& d = in.raw[f];
        a.listing.push_back(in.raw_names[f] + ": " + d.format + ", станции " +
                            std::to_string(d.stations.size()));
        std::map<long, std::string> said;  // what the file holds besides the sights, in line order
        for (const Skipped& n : d.notes) said[n.at.line] = "  бележка " + n.at.text() + ": " + n.why;
        for (const Skipped& k : d.skipped) said[k.at.line] = "  пропуснат " + k.at.text() + ": " + k.why;
        for (const RawPoint& p : d.points)
            said[p.at.line] = "  пропуснат " + p.at.text() + ": координати на " + p.name +
                              " (дадените точки идват от --given)";
        for (const RawStation& s : d.stations)
            for (const RawSight& k : s.sights)
                if (!k.R && !k.V && !k.S)
                    said[k.at.line] =
                        "  пропуснат " + k.at.text() + ": визура към " + k.target + " без измерване";
        for (const auto& [line, text] : said) a.listing.push_back(text);
        for (const RawStation& s : d.stations) {
            if (s.hs && *s.hs < 0) fail(s.at, "станция " + s.name + " с отрицателна височина на инструмента");
            if (!s.hs && !o.instrument_height)
                fail(s.at, "станция " + s.name + " без височина на инструмента (дайте --instrument-height)");
            all.push_back(s.name), network.insert(s.name);
            std::vector<const RawSight*> used;
            for (const RawSight& k : s.sights) {
                if (!k.R && !k.V && !k.S) continue;
                if ((k.V && (*k.V < 0 || *k.V > 400)) || (k.S && *k.S < 0) || k.ht < 0)
                    fail(k.at, "визура към " + k.target +
                                   " със зенитен ъгъл извън 0 - 400 гради, отрицателна дължина или височина");
                used.push_back(&k);
                all.push_back(k.target);
                c.stations[k.target].insert(s.name);
                ++(k.face2 ? c.face2 : c.face1)[{s.name, k.target}];
            }
            setups.push_back({&s, used});
        }
    }
    names.assign(all);
    for (const auto& [target, from] : c.stations)
        if (!o.detail || from.size() > 1 || c.face1[{*from.begin(), target}] > 1 ||
            c.face2[{*from.begin(), target}] > 1)
            network.insert(target);

    for (std::size_t f = 0; f < in.given.size(); ++f)
        a.listing.push_back(in.given_names[f] + ": " + in.given[f].format + ", дадени точки " +
                            std::to_string(in.given[f].points.size()));
    for (const RawPoint& p : given) {
        const int vi = p.x && p.y ? (p.h ? 3 : 2) : 1;
        if (vi == 1 && !p.h) fail(p.at, "точка " + p.name + " без координати и височина");
        a.file.given.push_back({vi, names.number(p.name), p.x.value_or(0), p.y.value_or(0), p.h.value_or(0)});
    }
    long sights = 0, details = 0;
    for (const auto& [s, used] : setups) {
        const double hs = s->hs ? *s->hs : *o.instrument_height;
        put_setup(a, *s, hs, used, network, names, sights, details);
    }
    for (const std::string& n : names.added())
        a.listing.push_back("  име " + n + " -> номер " + std::to_string(names.number(n)));
    a.listing.push_back("Дадени точки: " + std::to_string(given.size()) + ", станции " +
                        std::to_string(setups.size()) + ", визури към мрежата " + std::to_string(sights) +
                        ", подробни точки " + std::to_string(details));
    return a;
}

}  // namespace vk::imp
