#!/usr/bin/env bash
# Runs the gallery in a real SDL2 window (under a virtual display, started by the caller),
# clicks on it with xdotool as a person would, and checks from the gallery's output that the
# clicks did what they should. Writes pictures of the windows into the folder given.
set -euo pipefail
gallery=${GALLERY:-build/examples/gallery}
out=${1:-out}
mkdir -p "$out"

# click_page PAGE X Y EXPECTED: opens the gallery on PAGE, clicks at (X, Y) of its window and
# looks for EXPECTED in what the gallery prints.
click_page() {
  local page=$1 x=$2 y=$3 expected=$4
  local name
  name=$(echo "$page" | tr 'A-Z ' 'a-z-')
  local log="$out/window-$name.log"
  "$gallery" --page "$page" --exit-after 10000 --shot "$out/window-$name.png" > "$log" 2>&1 &
  local pid=$! wid="" clicked=""
  # Windows come and go while the program starts (xdotool may then report a vanished one),
  # so look for the visible gallery window and click again until the click has been seen.
  for _ in $(seq 1 40); do
    wid=$(xdotool search --onlyvisible --name "kovo gallery" 2>/dev/null | head -n 1 || true)
    if [ -n "$wid" ]; then
      sleep 0.5
      xdotool mousemove --window "$wid" "$x" "$y" click 1 2>/dev/null || true
      sleep 0.5
      if grep -q "$expected" "$log"; then clicked=1; break; fi
    else
      sleep 0.2
    fi
  done
  wait "$pid" || true
  if [ -z "$clicked" ] && ! grep -q "$expected" "$log"; then
    echo "clicking the $page page did not give \"$expected\":"
    cat "$log"
    exit 1
  fi
  [ -s "$out/window-$name.png" ] || { echo "no picture of the $page window"; exit 1; }
  echo "$page: $(grep "$expected" "$log" | head -n 1)"
}

click_page "Meters" 300 120 "meter value set to"
if "$gallery" --snapshot "$out/pages" | grep -q '"Report list"'; then
  click_page "Report list" "${REPORT_LIST_HEADER_X:-915}" "${REPORT_LIST_HEADER_Y:-91}" \
    "report list sorted by column"
fi
