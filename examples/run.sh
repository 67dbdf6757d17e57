#!/usr/bin/env bash
# Builds the suite and runs its programs one after another on the bundled survey in a
# scratch folder (scratch/example, or the folder given as the first argument), the way
# a surveyor runs them in a working folder; then shows the report in the terminal's
# encoding. Standard input is closed (or taken from <module>.answers beside the
# survey), so the run needs no keyboard.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
survey="$top/examples/survey"
work=${1:-$top/scratch/example}

cd "$top"
log=$(mktemp)
if ! { cmake --preset default && cmake --build --preset default; } >"$log" 2>&1; then
    cat "$log"
    exit 1
fi
rm -f "$log"

rm -rf "$work"
mkdir -p "$work/VK" "$work/Temp"
cp "$survey/VK/Geo_Data.txt" "$work/VK/"
[ -f "$survey/P.txt" ] && cp "$survey/P.txt" "$work/"
cd "$work"

for module in vokram1 vokram2 vokram4 vokram5 vokram-plot; do
    exe="$top/build/bin/$module"
    [ -x "$exe" ] || continue
    # vokram4 adopts its adjusted coordinates, as the vokram command has it.
    options=()
    [ "$module" = vokram4 ] && options=(--adopt)
    echo "== $module${options[*]:+ ${options[*]}}"
    status=0
    if [ -f "$survey/$module.answers" ]; then
        "$exe" "${options[@]}" <"$survey/$module.answers" || status=$?
    else
        "$exe" "${options[@]}" </dev/null || status=$?
    fi
    if [ "$status" -eq 1 ]; then
        echo "$module stopped; the report says why:" >&2
        break
    fi
    if [ "$status" -ne 0 ]; then
        echo "$module ended with status $status" >&2
        exit "$status"
    fi
done

echo
echo "== VK/Protokol.TXT (Windows-1251, shown in $(locale charmap))"
iconv -f CP1251 -t "$(locale charmap)//TRANSLIT" VK/Protokol.TXT
echo
echo "Files of the run are in $work; the plan of the survey is $work/VK/Survey.svg"
