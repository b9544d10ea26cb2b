#!/usr/bin/env bash
# Rebuilds the fallback pictures in resources/icons/{16,22,32}/ from the Tango icon library
# (Debian package tango-icon-theme, public domain) with ImageMagick. Only needed when the set
# changes: the pictures are kept in the repository and compiled into the program, so neither
# package is needed to build or run it.
#
#   apt-get install tango-icon-theme imagemagick && resources/icons/make-icons.sh
set -euo pipefail

tango=${TANGO_DIR:-/usr/share/icons/Tango}
out=$(cd "$(dirname "$0")" && pwd)
sizes=(16 22 32)
[ -d "$tango/32x32" ] || { echo "Tango icons not found in $tango" >&2; exit 1; }

# The Tango file of a freedesktop name at a size.
source_of() {
  local size=$1 name=$2 f
  f=$(ls "$tango/${size}x${size}"/*/"$name.png" 2>/dev/null | head -1)
  [ -n "$f" ] || { echo "no Tango picture $name at $size" >&2; exit 1; }
  echo "$f"
}

# Tango pictures used as they are, under their own names.
copy() {
  local name size
  for name in "$@"; do
    for size in "${sizes[@]}"; do cp "$(source_of "$size" "$name")" "$out/$size/$name.png"; done
  done
}

# target base overlay [gravity [scale%]]: the base picture with the overlay, shrunk, in a corner.
overlay() {
  local target=$1 base=$2 badge=$3 gravity=${4:-southeast} scale=${5:-60} size
  for size in "${sizes[@]}"; do
    convert "$(file_or_source "$size" "$base")" \
      \( "$(file_or_source "$size" "$badge")" -resize "${scale}%" \) \
      -gravity "$gravity" -composite "PNG32:$out/$size/$target.png"
  done
}

# A name already made here, or a Tango picture.
file_or_source() {
  local size=$1 name=$2
  if [ -f "$out/$size/$name.png" ]; then echo "$out/$size/$name.png"; else source_of "$size" "$name"; fi
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The file of frame n of Tango's spinning "process-working" strip (frame 0 is the resting picture).
spinner_frame() {
  local size=$1 n=$2 cols
  cols=$(($(identify -format '%w' "$tango/${size}x${size}/animations/process-working.png") / size))
  convert "$tango/${size}x${size}/animations/process-working.png" \
    -crop "${size}x${size}+$(((n % cols) * size))+$(((n / cols) * size))" +repage "PNG32:$work/spin.png"
  echo "$work/spin.png"
}

# A tick in Tango's green, drawn from an outline so it stays crisp at every size.
tick() {
  local target=$1 size s
  for size in "${sizes[@]}"; do
    s=$(echo "scale=3; $size / 32" | bc)
    convert -size "${size}x${size}" xc:none -fill none -stroke '#4e9a06' -strokewidth "$(echo "$s * 7" | bc)" \
      -draw "stroke-linecap round stroke-linejoin round polyline $(echo "$s*5" | bc),$(echo "$s*17" | bc) $(echo "$s*13" | bc),$(echo "$s*25" | bc) $(echo "$s*27" | bc),$(echo "$s*7" | bc)" \
      -stroke '#8ae234' -strokewidth "$(echo "$s * 3.5" | bc)" \
      -draw "stroke-linecap round stroke-linejoin round polyline $(echo "$s*5" | bc),$(echo "$s*17" | bc) $(echo "$s*13" | bc),$(echo "$s*25" | bc) $(echo "$s*27" | bc),$(echo "$s*7" | bc)" \
      "PNG32:$out/$size/$target.png"
  done
}

# A query match type: its sign on a small light-blue tile, in Tango's blue.
match_sign() {
  local target=$1 sign=$2 size r
  for size in "${sizes[@]}"; do
    r=$((size - 1))
    convert -size "${size}x${size}" xc:none -fill '#dbe6f4' -stroke '#3465a4' -strokewidth 1 \
      -draw "roundrectangle 0.5,0.5 $r.5,$r.5 $((size / 6)),$((size / 6))" \
      -fill '#204a87' -stroke none -font DejaVu-Sans-Bold -pointsize "$(( ${#sign} > 2 ? size * 5 / 16 : (${#sign} > 1 ? size * 7 / 16 : size * 11 / 16) ))" \
      -gravity center -annotate +0+0 "$sign" "PNG32:$out/$size/$target.png"
  done
}

for size in "${sizes[@]}"; do mkdir -p "$out/$size"; done

copy x-office-calendar x-office-address-book appointment appointment-new process-stop edit-paste \
  edit-delete edit-find edit-clear system-search list-add document-open document-properties \
  document-print document-print-preview system-log-out dialog-information dialog-warning dialog-error \
  help-browser internet-mail internet-group-chat mail-forward mail-message-new \
  preferences-desktop-keyboard-shortcuts preferences-system preferences-system-windows \
  application-x-executable text-x-script text-x-generic media-playback-start media-seek-forward \
  media-skip-forward audio-volume-high folder format-justify-fill go-up go-down go-first go-last \
  go-next go-previous window-new

# An empty picture: lists and the toolbar show it for "nothing here".
for size in "${sizes[@]}"; do convert -size "${size}x${size}" xc:none "PNG32:$out/$size/vx-blank.png"; done

tick vx-tick
overlay vx-todo text-x-generic vx-tick southeast 75
overlay vx-task-skipped media-skip-forward vx-tick southeast 60
overlay vx-task-both application-x-executable internet-group-chat southeast 60
overlay vx-close window-new process-stop southeast 60
overlay vx-script-stop text-x-script process-stop southeast 60
overlay vx-wizard-program application-x-executable list-add southeast 60
overlay vx-wizard-message internet-group-chat list-add southeast 60
overlay vx-wizard-script text-x-script list-add southeast 60

# "Green light": Tango's red record dot turned green.
for size in "${sizes[@]}"; do
  convert "$(source_of "$size" media-record)" -modulate 100,100,166 "PNG32:$out/$size/vx-green.png"
done

# A gear at an angle, for the pictures that show work going on.
gear() {
  local size=$1 angle=$2
  convert "$(source_of "$size" applications-system)" -virtual-pixel transparent \
    -distort SRT "$angle" "PNG32:$work/gear.png"
  echo "$work/gear.png"
}

# The program's mark (tray when idle): a calendar with a clock. Busy: the calendar with a
# turning gear, two frames apart so the tray visibly works.
overlay vx-tray x-office-calendar appointment southeast 62
for frame in 1 2; do
  for size in "${sizes[@]}"; do
    convert "$(source_of "$size" x-office-calendar)" \( "$(gear "$size" $(((frame - 1) * 22)))" -resize 62% \) \
      -gravity southeast -composite "PNG32:$out/$size/vx-tray-busy-$frame.png"
  done
done

# Sending keys: the keyboard with a gear at four angles.
for frame in 1 2 3 4; do
  for size in "${sizes[@]}"; do
    convert "$(source_of "$size" preferences-desktop-keyboard-shortcuts)" \
      \( "$(gear "$size" $(((frame - 1) * 11)))" -resize 55% \) -gravity southeast -composite \
      "PNG32:$out/$size/vx-busykey-$frame.png"
  done
done

# Main's status picture: the scheduler working (grey spinner), and scripts running (the same
# spinner in Tango's orange), seven frames each.
for frame in 1 2 3 4 5 6 7; do
  for size in "${sizes[@]}"; do
    cp "$(spinner_frame "$size" $(((frame - 1) * 31 / 7 + 1)))" "$out/$size/vx-working-$frame.png"
    convert "$out/$size/vx-working-$frame.png" -fill '#ce5c00' -colorize 100 \
      \( "$out/$size/vx-working-$frame.png" -alpha extract \) -compose copy-opacity -composite \
      "PNG32:$out/$size/vx-scripting-$frame.png"
  done
done

# Query match types.
match_sign vx-match-ignore "–"
match_sign vx-match-equals "="
match_sign vx-match-not-equals "≠"
match_sign vx-match-more ">"
match_sign vx-match-less "<"
match_sign vx-match-more-or-equal "≥"
match_sign vx-match-less-or-equal "≤"
match_sign vx-match-inside "[ ]"
match_sign vx-match-outside "] ["
match_sign vx-match-begins "a…"
match_sign vx-match-ends "…z"
match_sign vx-match-contains "…a…"
match_sign vx-match-not-contains "!a"
# The date-part matches: the calendar with the part's sign.
for part in month:M day:D year:Y month-day:MD year-month:YM; do
  match_sign "vx-sign-${part%%:*}" "${part#*:}"
  overlay "vx-match-${part%%:*}" x-office-calendar "vx-sign-${part%%:*}" southeast 60
  rm "$out"/*/"vx-sign-${part%%:*}.png"
done
match_sign vx-match-several "∗∗"
