#!/bin/sh
# The bundled survey run through the whole chain by vokram on Linux and vokram.cmd under Wine
# must leave the same files: byte for byte, except that a printed number's last digit may
# differ by one where the two systems' mathematical libraries round differently. Binary
# work files (vokram4's sums of sines and cosines) are compared as numbers within 1e-12.
# The survey folder is named in Cyrillic, as surveyors name theirs. The Windows side runs
# what the zip holds: its programs, its licence and its example folder copied as it is.
# Arguments: the Linux programs' folder, the Windows build folder, the survey, Wine.
set -eu
linux=$1 build=$2 survey=$3 wine=$4
[ -x "$linux/vokram1" ] || { echo "SKIPPED: no Linux build in $linux to compare with"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder="Бела вода"
windows=$work/zip
cmake --install "$build" --prefix "$windows" >/dev/null
[ -f "$windows/LICENSE" ] || { echo "the zip carries no LICENSE"; exit 1; }
mkdir -p "$work/linux" "$work/windows"
cp -R "$survey" "$work/linux/$folder"
cp -R "$windows/example" "$work/windows/$folder"
# Each chain command given the folder by name; Wine reads the name in the locale's encoding.
(cd "$work/linux" && "$linux/vokram" "$folder" </dev/null >/dev/null)
(cd "$work/windows" && LC_ALL=C.UTF-8 "$wine" cmd /c "Z:$(echo "$windows/vokram.cmd" | tr / '\\')" "$folder" </dev/null >/dev/null)
cd "$work"
export LC_ALL=C
files=0 bad=0 text=0 binary=0
for f in $(cd "linux/$folder" && find . -type f | sort); do
    files=$((files + 1))
    a="linux/$folder/$f" b="windows/$folder/$f"
    cmp -s "$a" "$b" && continue
    if grep -qI . "$a"; then mode=text; else
        mode=binary
        od -A n -v -t f8 "$a" | tr -s ' ' '\n' >a.num
        od -A n -v -t f8 "$b" | tr -s ' ' '\n' >b.num
        a=a.num b=b.num
    fi
    n=$(awk -v mode=$mode -v other="$b" -v name="$f" '
        function numbers(s, arr,   n) {
            n = 0
            while (match(s, /[-+]?[0-9]+(\.[0-9]+)?([eE][-+]?[0-9]+)?/)) {
                arr[++n] = substr(s, RSTART, RLENGTH); s = substr(s, RSTART + RLENGTH)
            }
            return n
        }
        function decimals(t) { sub(/[eE].*/, "", t); return index(t, ".") ? length(t) - index(t, ".") : 0 }
        function size(v) { return v < 0 ? -v : v }
        { if ((getline o < other) <= 0) { print name ": Windows file shorter" > "/dev/stderr"; failed = 1; exit 1 } }
        $0 == o { next }
        {
            s = $0; t = o
            gsub(/[-+]?[0-9]+(\.[0-9]+)?([eE][-+]?[0-9]+)?/, "#", s); gsub(/[-+]?[0-9]+(\.[0-9]+)?([eE][-+]?[0-9]+)?/, "#", t)
            n = numbers($0, x); numbers(o, y)
            if (s != t) { print name ", line " NR ": " $0 " | " o > "/dev/stderr"; failed = 1; exit 1 }
            for (i = 1; i <= n; i++) {
                if (x[i] == y[i]) continue
                d = decimals(x[i])
                ok = mode == "binary" ? size(x[i] - y[i]) <= 1e-12 * size(x[i]) \
                                      : decimals(y[i]) == d && size(x[i] - y[i]) * 10 ^ d < 1.5
                if (!ok) { print name ", line " NR ": " x[i] " | " y[i] > "/dev/stderr"; failed = 1; exit 1 }
                differed++
            }
        }
        END { if (failed) exit 1
              if ((getline o < other) > 0) { print name ": Windows file longer" > "/dev/stderr"; exit 1 }
              print differed + 0 }' "$a") || { bad=$((bad + 1)); continue; }
    echo "$f: $n numbers differ ($mode)"
    eval "$mode=\$(($mode + n))"
done
echo "$files files compared, $bad differ; numbers differing: $text printed by one in the last digit, $binary binary within 1e-12"
[ "$bad" -eq 0 ] && [ "$files" -gt 10 ]
