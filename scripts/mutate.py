#!/usr/bin/env python3
"""Mutation run: does the test suite notice small realistic faults in the programs?

Each fault below is one edit of the production code: a file, the exact original text
(which must occur exactly once) and its replacement. A fault whose text is no longer
found, or found more than once, is reported "n/a" instead of being applied somewhere
else. For every fault the script applies the edit, builds the programs and the tests
(incrementally, -j2), runs ctest with a timeout, records whether a test failed
("killed") or all passed ("SURVIVED"), and restores the file with git checkout.

  scripts/mutate.py                 every fault
  scripts/mutate.py 3 17 40         only these faults
  scripts/mutate.py --check         only report which faults still apply
  scripts/mutate.py --build DIR     build folder (default build-mutate, configured
                                    without benchmarks when it does not exist)
"""
import argparse
import pathlib
import re
import subprocess
import sys
import time

FAULTS = [
    # --- common: angles, number formats, text files, the number reader ---------------
    ("common/src/angles.cpp", "if (g <= 0.0) g += 400.0;", "if (g < 0.0) g += 400.0;",
     "a reduced angle of 0 stays 0 instead of 400"),
    ("common/src/angles.cpp", "return (2 - sx * sy - sy) * 100.0 + a * rho;",
     "return (2 - sx * sy + sy) * 100.0 + a * rho;", "direction angle in the wrong quadrant"),
    ("common/src/angles.cpp", "s += (y2 - y1) * (y2 - y1);", "s += (y2 - y1) * (x2 - x1);",
     "distance with x and y mixed"),
    ("common/src/angles.cpp", "return d < 200.0 ? d : 400.0 - d;", "return d < 200.0 ? d : d - 400.0;",
     "angle between directions across the seam negative"),
    ("common/src/text.cpp",
     "if (!s.empty() && s[0] == '-' && s.find_first_not_of(\"0.\", 1) == std::string::npos) s.erase(0, 1);",
     "", "negative zero printed as -0.0000"),
    ("common/src/text.cpp",
     "std::string s = std::to_string(v);\n    if (static_cast<int>(s.size()) < w) s.insert(0, static_cast<std::size_t>(w) - s.size(), ' ');",
     "std::string s = std::to_string(v);\n    if (static_cast<int>(s.size()) < w) s.insert(0, static_cast<std::size_t>(w) - s.size() - 1, ' ');",
     "whole numbers one column narrow"),
    ("common/src/text.cpp", "write_raw(\"\\r\\n\");", "write_raw(\"\\n\");", "LF instead of CR LF"),
    ("common/src/text.cpp", "if (digits == 0) return false;", "", "a lone sign or point read as a number"),
    ("common/src/text.cpp", "long long line = 1;", "long long line = 0;", "error message names the line before"),
    ("common/src/frame.cpp", "        case EACCES:\n        case EPERM:\n        case EROFS:\n        case EISDIR:\n", "",
     "access denied reported as a write error"),
    # --- vokram1: intake, checks, reductions, the network file ----------------------
    ("vokram1/src/internal_checks.cpp", "dir.v * 0.5 > s.par.tol_angle);", "dir.v > s.par.tol_angle);",
     "face difference of directions compared without halving"),
    ("vokram1/src/internal_checks.cpp", "zen.v * 0.5 > s.par.tol_angle", "zen.v * 0.25 > s.par.tol_angle",
     "index error tolerance twice too wide"),
    ("vokram1/src/internal_checks.cpp", "a.V -= e / 2.0;", "a.V -= e;", "the whole index error taken off face I"),
    ("vokram1/src/internal_checks.cpp", "a.V = 400.0 - a.V - s.par.index;", "a.V = 400.0 - a.V + s.par.index;",
     "index correction of a single face-II sight with the wrong sign"),
    ("vokram1/src/internal_checks.cpp", "        } else if (a.V > 0.0) {\n            a.V += s.par.index;",
     "        } else if (a.V > 0.0) {\n            a.V -= s.par.index;",
     "index correction of a single face-I sight with the wrong sign"),
    ("vokram1/src/internal_checks.cpp", "const double d = std::fabs(rows[i].D - rows[j].D);",
     "const double d = rows[i].D - rows[j].D;", "a repeated distance checked only when longer"),
    ("vokram1/src/internal_checks.cpp", "(reciprocal ? hb : -hb)", "(reciprocal ? -hb : hb)",
     "reciprocal and repeated height differences confused"),
    ("vokram1/src/internal_checks.cpp", "return row.hs / kMmPerMetre + row.S * cosg(row.V) + curvature_refraction(row.S, k) - row.ht / kMmPerMetre;",
     "return row.hs / kMmPerMetre + row.S * cosg(row.V) + curvature_refraction(row.S, k) + row.ht / kMmPerMetre;", "target height added"),
    ("vokram1/src/internal_checks.cpp", "return row.hs / kMmPerMetre + row.S * cosg(row.V) + curvature_refraction(row.S, k) - row.ht / kMmPerMetre;",
     "return row.hs / kMmPerMetre + row.S * cosg(row.V) + 0 * k - row.ht / kMmPerMetre;",
     "reciprocal height differences compared without curvature and refraction"),
    ("vokram1/src/intake.cpp", "dist(a.x, a.y, a.h, b.x, b.y, b.h) < 0.05",
     "dist(a.x, a.y, a.h, b.x, b.y, b.h) < 0.5", "given points 30 cm apart warned of"),
    ("vokram1/src/intake.cpp", "s.xo = std::trunc(min_x / 10.0) * 10.0 - 10.0;",
     "s.xo = std::trunc(min_x / 10.0) * 10.0;", "reduction origin not below the smallest x"),
    ("vokram1/src/intake.cpp", "if (g.size() == 100) {", "if (g.size() == 99) {",
     "a group of 99 numbers refused"),
    ("common/include/vokram/parameters.hpp", "return s * factor + additive;", "return s * factor - additive;",
     "prism constant with the wrong sign"),
    ("vokram1/src/reductions.cpp", "if (row.D > 0.0) row.D *= 1.0 - kp / kMmPerKm;",
     "if (row.D > 0.0) row.D *= 1.0 + kp / kMmPerKm;", "projection correction lengthens"),
    ("vokram1/src/reductions.cpp", "const double angle = rang(atang(tg->y - st.y, tg->x - st.x) - row.R);",
     "const double angle = rang(atang(tg->x - st.x, tg->y - st.y) - row.R);",
     "orientation with x and y swapped"),
    ("vokram1/src/reductions.cpp", "rows[k].R = rang(rows[k].R - mean), rows[k].ps = ps_a;",
     "rows[k].R = rang(rows[k].R + mean), rows[k].ps = ps_a;", "second record turned the wrong way"),
    ("common/src/intermediate.cpp", "if (k % 10 == 0) f.endl();", "if (k % 10 == 1) f.endl();",
     "list of new points wrapped after the first entry"),
    ("vokram1/src/internal_checks.cpp", "if (a.V > 0.0 && b.V > 0.0 && a.V > b.V) {",
     "if (a.V > 0.0 && b.V > 0.0 && a.V < b.V) {", "face II first taken as face I"),
    # --- vokram2: tasks, controls, levelling, output --------------------------------
    ("common/include/vokram/geodesy.hpp", "return (1 - k) * s * s / (2 * kEarthRadius);",
     "return (1 + k) * s * s / (2 * kEarthRadius);", "refraction added to the curvature"),
    ("vokram2/src/heights.cpp", "const double diff = has_fwd && has_rev ? (fwd - rev) * 0.5",
     "const double diff = has_fwd && has_rev ? (fwd + rev) * 0.5", "reciprocal differences added"),
    ("vokram2/src/plane_checks.cpp", "c.length_off[j] = std::fabs(r.D - dist2d(net, r.ns, r.nt));",
     "c.length_off[j] = r.D - dist2d(net, r.ns, r.nt);",
     "a distance too short is no conflict"),
    ("vokram2/src/plane_checks.cpp", "if (station.v > net.tol.angle) {", "if (station.v > 2 * net.tol.angle) {",
     "direction conflict tolerance doubled"),
    ("vokram2/src/heights.cpp", "if (misclosure > net.tol.height) {", "if (misclosure >= 2 * net.tol.height) {",
     "height misclosure tolerance doubled"),
    ("vokram2/src/linear.cpp", "double cb = (ab * ab + db * db - da * da) / (2 * db * ab);",
     "double cb = (ab * ab + da * da - db * db) / (2 * db * ab);", "distance intersection with sides swapped"),
    ("vokram2/src/linear.cpp", "const Xy c[2] = {at(t_ba + beta), at(t_ba - beta)};",
     "const Xy c[2] = {at(t_ba - beta), at(t_ba + beta)};", "the answered left point taken as the right one"),
    ("vokram2/src/linear.cpp", "const double beta = 200.0 - (alpha + nu);\n            const double an = sing(beta) / s * ab;",
     "const double beta = 200.0 - (alpha - nu);\n            const double an = sing(beta) / s * ab;",
     "combined intersection with a wrong angle at the new point"),
    ("vokram2/src/angular.cpp", "const double an = sing(beta) / sing(gamma) * ab;",
     "const double an = sing(gamma) / sing(beta) * ab;", "forward intersection with the sine rule inverted"),
    ("vokram2/src/angular.cpp", "if (!compute(net, nn, pb.x + q * u, pb.y - q * v)) continue;",
     "if (!compute(net, nn, pb.x + q * u, pb.y + q * v)) continue;", "resection with a sign flipped"),
    ("vokram2/src/izhod.cpp", "if ((i + 1) % 10 == 0) rep.endl();", "if (i % 10 == 0) rep.endl();",
     "list of undetermined points wrapped at the wrong entry"),
    ("common/src/products.cpp", "return real(e, 0, 2) + \" \" + real(n, 0, 2) + \" \" + real(h, 0, 2);",
     "return real(n, 0, 2) + \" \" + real(e, 0, 2) + \" \" + real(h, 0, 2);",
     "surface points as N E instead of E N"),
    ("vokram2/src/zadachi.cpp", "if (net.solved % 3 == 0) net.rep.endl();", "if (net.solved % 4 == 0) net.rep.endl();",
     "polar entries wrapped in fours"),
    ("vokram1/src/intake.cpp", "static_cast<int>(s.pts.size()) == kPointCapacity - 1 ||",
     "static_cast<int>(s.pts.size()) == kPointCapacity ||", "one point more than the capacity in all"),
    # --- vokram4: adjustment and diagnostics ----------------------------------------
    ("vokram4/src/vhod.cpp", "if (unknowns >= observations ||", "if (unknowns > observations ||",
     "as many unknowns as observations accepted"),
    ("vokram1/src/intake.cpp", "static_cast<int>(s.rows.size()) == kRowCapacity - 1) {",
     "static_cast<int>(s.rows.size()) == kRowCapacity) {", "one measurement more than the capacity"),
    ("vokram4/src/normal_matrix.cpp", "while (first < I && last_[first] < I) ++first;",
     "while (first < I && last_[first] <= I) ++first;", "the reduction passes over a row that still reaches"),
    ("common/src/statistics.cpp", "if (tested && std::fabs(w) > kCriticalW) s += \"  *\";",
     "if (tested && w > kCriticalW) s += \"  *\";", "a negative studentized residual never flagged"),
    ("common/src/statistics.cpp", "if (tested && std::fabs(w) > kCriticalW) s += \"  *\";",
     "if (tested && std::fabs(w) >= kCriticalW * 3) s += \"  *\";", "critical value of w three times too high"),
    ("vokram4/src/residuals.cpp", "a.m0 = std::sqrt(a.pvv / redundancy);",
     "a.m0 = std::sqrt(a.pvv / (redundancy + static_cast<int>(a.groups.size())));",
     "m0 with the orientation unknowns left out of the count"),
    ("vokram4/src/residuals.cpp", "p.x += static_cast<double>(a.X[static_cast<std::size_t>(2 * k + 1)]) / kCmPerMetre;",
     "p.x += static_cast<double>(a.X[static_cast<std::size_t>(2 * k + 2)]) / kCmPerMetre;",
     "x correction taken from the y unknown"),
    ("vokram4/src/equations.cpp", "eq[4] = {(s.s - ms.D) * kCmPerMetre, a.u + 1};", "eq[4] = {(ms.D - s.s) * kCmPerMetre, a.u + 1};",
     "distance absolute term with the wrong sign"),
    ("vokram4/src/equations.cpp", "eq[1] = {-kRho * ca / s.s * cc_per_cm, iP + 1};",
     "eq[1] = {kRho * ca / s.s * cc_per_cm, iP + 1};", "direction coefficient with the wrong sign"),
    ("vokram4/src/diagnostics.cpp", "take(o, 1.0 / a.pD - quadratic(Q, at, f), a.pD);",
     "take(o, 1.0 / a.pD - quadratic(Q, at, f), 1.0);", "redundancy of a distance without its weight"),
    ("vokram4/src/normal.cpp", "if (std::fabs(l) > 900)", "if (std::fabs(l) > 9000)",
     "large absolute terms of directions not warned of"),
    ("vokram4/src/normal_matrix.cpp",
     "if (const double l = rh[1] / rh[0]; l != 0.0) take_off(&ah[1], zi + 1, Rh - i, l);", "",
     "cofactors of every other unknown short of one term"),
    # --- vokram5: polar stations and detail points ----------------------------------
    ("vokram5/src/station.cpp", "pt.x = p.xst + h * cosg(r);\n        pt.y = p.yst + h * sing(r);",
     "pt.x = p.xst + h * sing(r);\n        pt.y = p.yst + h * cosg(r);", "detail point with x and y swapped"),
    ("vokram5/src/station.cpp",
     "return cosg(d.z) * d.s + (p.hst + p.ih) + curvature_refraction(d.s, p.par.refraction) - d.t;",
     "return cosg(d.z) * d.s + (p.hst + p.ih) - d.t;", "detail height without curvature and refraction"),
    ("vokram5/src/output.cpp", "p.sur->line(surface_line(E, N, d.h));", "p.sur->line(surface_line(N, E, d.h));",
     "detail points in the surface list as N E"),
    ("vokram5/src/faces.hpp", "z1 -= d / 2.0;", "z1 -= d;", "the whole index error taken off face I"),
    ("vokram5/src/faces.hpp", "z = 400.0 - z - index;", "z = 400.0 - z + index;",
     "index correction of a face-II sight with the wrong sign"),
    ("vokram5/src/station.cpp", "return cosg(d.z) * d.s + (p.hst + p.ih) + curvature_refraction(d.s, p.par.refraction) - d.t;",
     "return cosg(d.z) * d.s + (p.hst - p.ih) + curvature_refraction(d.s, p.par.refraction) - d.t;",
     "details with the instrument height subtracted"),
    ("vokram5/src/station.cpp", "        h = p.dist(h);\n", "",
     "no distance corrections on the detail sights"),
    ("vokram5/src/station.cpp", "h = (1.0 - p.q) * h;", "h = (1.0 + p.q) * h;",
     "projection correction lengthens"),
    ("vokram5/src/station_checks.cpp",
     "s.hs / kMmPerMetre - s.ht / kMmPerMetre;",
     "s.hs / kMmPerMetre + s.ht / kMmPerMetre;",
     "station height check with the target height added"),
    # --- vokram-plot: scripts to the picture ----------------------------------------
    ("plot/src/script.cpp", "if (!number(t.substr(0, c1), p.e) || !number(n, p.n)) return false;",
     "if (!number(t.substr(0, c1), p.n) || !number(n, p.e)) return false;", "script point read as N,E"),
    ("plot/src/svg.cpp", "double y(double n) const { return frame_y_ + frame_h_ / 2 - (n - mid_.n); }",
     "double y(double n) const { return frame_y_ + frame_h_ / 2 + (n - mid_.n); }", "the plan drawn upside down"),
    ("plot/src/svg.cpp", "return {std::hypot(de, dn), el.minor, std::atan2(-dn, de) * 180.0 / std::numbers::pi};",
     "return {std::hypot(de, dn), el.minor, std::atan2(dn, de) * 180.0 / std::numbers::pi};",
     "ellipse turned the wrong way"),
    ("plot/src/svg.cpp", "if ((static_cast<unsigned char>(c) & 0xc0) == 0x80) continue;", "",
     "Cyrillic labels counted twice as wide"),
    ("plot/src/script.cpp", "        if (l.text.empty()) return Read::damaged;\n", "",
     "a text of control characters alone drawn as an empty label"),
    # --- exit statuses, adoption, variance components, height adjustment, labels ----
    ("common/src/frame.cpp",
     "con.error(s.reason);\n            return kStopped;", "con.error(s.reason);\n            return 0;",
     "a stop on the data ends with status 0"),
    ("common/src/command_line.cpp", "return kUsageError;", "return 1;",
     "a wrong option ends with the status of a stop"),
    ("common/src/command_line.cpp", "return kFolderNotFound;", "return kFileNotFound;",
     "a missing survey folder reported as a missing file"),
    ("vokram4/src/adopt.cpp", "p.x = a.pts[k].x, p.y = a.pts[k].y;", "p.x = a.pts[k].y, p.y = a.pts[k].x;",
     "adopted coordinates with x and y swapped"),
    ("vokram4/src/adopt.cpp", "            else\n                p->h = q.h;", "",
     "adjusted heights not adopted"),
    ("vokram4/src/adopt.cpp", "a.adoption = heights ? kAdoptedWithHeights : kAdopted;",
     "a.adoption = heights ? kAdopted : kAdoptedWithHeights;", "the adoption says heights when there were none"),
    ("vokram4/src/variance.cpp", "vc.agree = vc.F >= vc.lower && vc.F <= vc.upper;", "vc.agree = vc.F >= vc.lower;",
     "F test of the variance components one-sided"),
    ("vokram4/src/variance.cpp", "if (c.tested && g.estimated() && g.s0 > 0) c.w *= a.m0 / g.s0;",
     "if (c.tested && g.estimated() && g.s0 > 0) c.w *= g.s0 / a.m0;",
     "residuals studentized with the inverse ratio of the group's m0"),
    ("vokram4/src/variance.cpp", "            g.r -= 1;\n", "",
     "a side measured both ways counted as two observations in the components"),
    ("vokram4/src/variance.cpp", "if (at_rounding(R, kDirectionResolution) || at_rounding(D, kDistanceResolution))",
     "if (at_rounding(R, 0) || at_rounding(D, 0))", "residuals at the rounding of the data balanced"),
    ("common/src/statistics.cpp", "(incomplete_beta(t, d1 / 2, d2 / 2) < p ? lo : hi) = t;",
     "(incomplete_beta(t, d2 / 2, d1 / 2) < p ? lo : hi) = t;", "F quantile with the degrees of freedom swapped"),
    ("vokram2/src/height_adjustment.cpp", "if (t >= 0) L(t, t) += p, b[t] -= p * l;",
     "if (t >= 0) L(t, t) += p, b[t] += p * l;", "height adjustment: the target's absolute term with the wrong sign"),
    ("vokram2/src/height_adjustment.cpp", "a.points[k].mH = a.m0 * std::sqrt(std::max(Q(k, k), 0.0));",
     "a.points[k].mH = a.m0 * std::max(Q(k, k), 0.0);", "mean error of an adjusted height without the root"),
    ("plot/src/svg.cpp", "                    c.text(r);\n                    return p;", "                    return p;",
     "a placed text not kept clear of by the next"),
    ("vokram4/src/normal_matrix.cpp", "for (int j = i + 1; j <= R; ++j) z.q_[z.at(j, i)] = a[j - i - 1];", "",
     "cofactors: the mirror of each row of the inverse left empty"),
]


def sh(cmd, cwd, timeout=None):
    return subprocess.run(cmd, cwd=cwd, shell=True, capture_output=True, text=True, timeout=timeout)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("only", nargs="*", type=int)
    ap.add_argument("--check", action="store_true")
    ap.add_argument("--build", default="build-mutate")
    ap.add_argument("--timeout", type=int, default=300, help="seconds for the whole ctest run")
    args = ap.parse_args()
    root = pathlib.Path(__file__).resolve().parent.parent
    build = root / args.build
    todo = [(i + 1, f) for i, f in enumerate(FAULTS) if not args.only or i + 1 in args.only]

    if not args.check:
        if sh("git diff --quiet -- common vokram1 vokram2 vokram4 vokram5 plot", root).returncode:
            sys.exit("the production code has uncommitted changes; commit or stash them first")
        if not (build / "CMakeCache.txt").exists():
            r = sh(f"cmake -S . -B '{build}' -DVOKRAM_BENCH=OFF", root)
            if r.returncode:
                sys.exit(r.stdout + r.stderr)
        r = sh(f"cmake --build '{build}' -j2", root)
        if r.returncode:
            sys.exit("the unchanged code does not build:\n" + r.stdout[-3000:] + r.stderr[-3000:])
        r = sh(f"ctest --test-dir '{build}' -j2 --timeout {args.timeout}", root)
        if r.returncode:
            sys.exit("the unchanged code fails its tests:\n" + r.stdout[-3000:])

    results = []
    for n, (rel, old, new, what) in todo:
        path = root / rel
        text = path.read_text() if path.exists() else ""
        found = text.count(old)
        if found != 1:
            results.append((n, rel, what, "n/a", ""))
            print(f"{n:3} {'n/a':9} {rel}: {what} (text found {found} times)", flush=True)
            continue
        if args.check:
            results.append((n, rel, what, "applies", ""))
            continue
        start = time.time()
        path.write_text(text.replace(old, new))
        try:
            b = sh(f"cmake --build '{build}' -j2", root)
            if b.returncode:
                verdict, by = "no build", ""
            else:
                try:
                    t = sh(f"ctest --test-dir '{build}' -j2 --stop-on-failure --timeout {args.timeout}", root,
                           timeout=args.timeout + 60)
                    failed = re.findall(r"Test +#\d+: (\S+) \.*\**(?:Failed|Exception|Timeout)", t.stdout)
                    verdict, by = ("killed", ", ".join(failed[:2])) if t.returncode else ("SURVIVED", "")
                except subprocess.TimeoutExpired:
                    verdict, by = "killed", "timeout"
        finally:
            sh(f"git checkout -- '{rel}'", root)
        results.append((n, rel, what, verdict, by))
        print(f"{n:3} {verdict:9} {rel}: {what} {by} [{time.time() - start:.0f} s]", flush=True)

    applied = [r for r in results if r[3] in ("killed", "SURVIVED")]
    killed = sum(r[3] == "killed" for r in applied)
    print()
    print("| # | file | fault | result |")
    print("|---|------|-------|--------|")
    for n, rel, what, verdict, by in results:
        print(f"| {n} | {rel} | {what} | {verdict}{' (' + by + ')' if by else ''} |")
    if applied:
        print(f"\nkilled {killed} of {len(applied)} applied faults: {100.0 * killed / len(applied):.0f} %")
    # Rebuild the unchanged code so that the build folder matches the sources again.
    if not args.check and todo:
        sh(f"cmake --build '{build}' -j2", root)


if __name__ == "__main__":
    main()
