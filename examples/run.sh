#!/usr/bin/env bash
# Builds the programs (a Release build without the tests, in build-programs/) and runs
# them one after another on the bundled survey in a scratch folder (scratch/example, or
# the folder given as the first argument), the way a surveyor runs them in a working
# folder; then shows the report in the terminal's encoding and says where the report and
# the plan are. Standard input is closed (or taken from <module>.answers beside the
# survey), so the run needs no keyboard.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
survey="$top/examples/survey"
work=${1:-$top/scratch/example}
bin="$top/build-programs/bin"

cd "$top"
echo "== building the programs into $bin"
log=$(mktemp)
if ! cmake --preset programs >"$log" 2>&1; then
    cat "$log"
    rm -f "$log"
    exit 1
fi
rm -f "$log"
cmake --build --preset programs

rm -rf "$work"
mkdir -p "$work/VK" "$work/Temp"
cp "$survey/VK/Geo_Data.txt" "$work/VK/"
[ -f "$survey/P.txt" ] && cp "$survey/P.txt" "$work/"
cd "$work"

for module in vokram1 vokram2 vokram4 vokram5 vokram-plot; do
    exe="$bin/$module"
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
echo "The files of the run are in $work:"
echo "  the report    $work/VK/Protokol.TXT (Windows-1251)"
echo "  the plan      $work/VK/Survey.svg (open it in a web browser)"
echo "  the drawing   $work/VK/Survey.dxf (DXF R12, for a CAD program or a GIS)"
echo "  the points    $work/VK/Points.csv (number,kind,x,y,h,mx,my)"
