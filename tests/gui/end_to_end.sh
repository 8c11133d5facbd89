#!/bin/sh
# The editor end to end on an X server: open a folder of samples from the command line, check the
# title, save (the file moves into the processed folder with its backup beside it and gains its
# table of contents), take a screenshot, change the text and ask for the next document (a second
# screenshot shows the question with Qt's buttons in Russian), cancel and save, leave through the menu,
# check what was written at exit.
# Usage: end_to_end.sh <tirvel> <e2e_write_settings> <samples folder> <work folder> <screenshot.png>
set -eu

if [ "${1:-}" != "--on-display" ]; then
    TIRVEL=$1 WRITE_SETTINGS=$2 SAMPLES=$3 WORK=$4 SHOT=$5
    rm -rf "$WORK"
    mkdir -p "$WORK/app" "$WORK/in" "$WORK/done"
    # A copy of the program keeps its settings file inside the work folder.
    cp "$TIRVEL" "$WORK/app/tirvel"
    cp "$SAMPLES"/*.rla "$WORK/in/"
    "$WRITE_SETTINGS" "$WORK/app/Kestrel.ini" "$WORK/done"
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" --on-display "$WORK" "$SHOT" "$SAMPLES"
fi

WORK=$2 SHOT=$3 SAMPLES=$4
NAME=decree_rules_appendix # the first of the samples in byte order
fail() { echo "end_to_end: $*" >&2; kill "$PID" 2>/dev/null || true; exit 1; }

# Waits up to 20 s for a window whose title is exactly $1; prints its id.
wait_for_title() {
    i=0
    while [ $i -lt 80 ]; do
        for id in $(xdotool search --name "$NAME" 2>/dev/null); do
            if [ "$(xdotool getwindowname "$id")" = "$1" ]; then echo "$id"; return 0; fi
        done
        sleep 0.25; i=$((i + 1))
    done
    return 1
}

OGL=$(printf '\004\004\216\203\213') # the ОГЛ marker in code page 866
count_toc_blocks() { LC_ALL=C grep -c "$OGL" "$1" || true; }

"$WORK/app/tirvel" "$WORK/in" &
PID=$!

WID=$(wait_for_title "Тирвель - $WORK/in/$NAME.rla*") || fail "no window titled with the opened file"
xdotool windowfocus --sync "$WID"
sleep 0.5

# Mark the first entry in the panel (the first row of its list) and move it one level down with the
# panel's second button; the window-relative points follow from the panel's fixed layout in its dock.
xdotool mousemove --window "$WID" 210 620 click 1
sleep 0.3
xdotool mousemove --window "$WID" 47 564 click 1
sleep 0.5

xdotool key ctrl+s
WID=$(wait_for_title "Тирвель - $WORK/done/$NAME.rla") || fail "title does not show the moved file after saving"
[ -f "$WORK/done/$NAME.rla" ] || fail "saved file missing from the processed folder"
[ ! -e "$WORK/in/$NAME.rla" ] || fail "saved file still in the source folder"
cmp -s "$WORK/done/$NAME.bak" "$SAMPLES/$NAME.rla" || fail "backup beside the moved file is not the original"
before=$(count_toc_blocks "$SAMPLES/$NAME.rla")
after=$(count_toc_blocks "$WORK/done/$NAME.rla")
[ "$after" -gt "$before" ] || fail "the saved text has no new table-of-contents blocks ($before -> $after)"
first_level=$(LC_ALL=C grep -a -A1 "$OGL" "$WORK/done/$NAME.rla" | sed -n 2p | tr -d '\r')
[ "$first_level" = "**" ] || fail "the marked first entry was not moved down a level (level line '$first_level')"

sleep 0.5
import -window root "$SHOT" || fail "screenshot failed"

# Type into the saved text (a click puts the caret into it) and ask for the next document through the
# menu by keys the keyboard map has (a Cyrillic key would be mapped by xdotool for the moment, and a
# busy program may read the map after it is taken back): Alt selects the menu bar, Down opens "Файл"
# at "Открыть...", three more reach "Перейти к следующему документу" past "Открыть папку..." and
# "Сохранить". The question is captioned "Тирвель" alone; Escape is its Cancel, which keeps the
# document open and changed.
xdotool mousemove --window "$WID" 400 150 click 1
sleep 0.3
xdotool key x
wait_for_title "Тирвель - $WORK/done/$NAME.rla*" >/dev/null || fail "typing did not mark the text changed"
xdotool key alt
sleep 0.5
xdotool key Down
sleep 0.3
xdotool key Down Down Down Return
i=0
until QUESTION=$(xdotool search --onlyvisible --name '^Тирвель$' 2>/dev/null | tail -n 1) && [ -n "$QUESTION" ]; do
    [ $i -lt 80 ] || fail "no question before the next document"
    sleep 0.25; i=$((i + 1))
done
sleep 0.5
import -window root "${SHOT%.png}_question.png" || fail "screenshot of the question failed"
# Without a window manager the question gets the keyboard only when given it.
xdotool windowfocus --sync "$QUESTION"
xdotool key Escape
i=0
while xdotool search --onlyvisible --name '^Тирвель$' >/dev/null 2>&1; do
    [ $i -lt 40 ] || fail "Escape did not close the question"
    sleep 0.25; i=$((i + 1))
done
WID=$(wait_for_title "Тирвель - $WORK/done/$NAME.rla*") || fail "cancelling the question did not keep the document"
xdotool windowfocus --sync "$WID"
xdotool key ctrl+s
WID=$(wait_for_title "Тирвель - $WORK/done/$NAME.rla") || fail "the second save did not clear the change mark"

# Leave through the menu: Alt selects the menu bar, Down opens "Файл", Up goes round to its last item,
# "Выход".
xdotool windowfocus --sync "$WID"
xdotool key alt
sleep 0.5
xdotool key Down
sleep 0.3
xdotool key Up Return
i=0
while kill -0 "$PID" 2>/dev/null; do
    [ $i -lt 40 ] || fail "the program did not end after Выход"
    sleep 0.25; i=$((i + 1))
done
wait "$PID" || fail "the program ended with an error"

PROFILE="$XDG_CONFIG_HOME/Local AppWizard-Generated Applications/Тирвель.conf"
grep -q '^\[Window\]' "$PROFILE" || fail "window placement not written to the profile"
grep -q '^\[KestrelBarState\]' "$PROFILE" || fail "bar state not written to the profile"
[ -s "$WORK/app/Kestrel.ini" ] || fail "settings file missing after exit"
echo "end_to_end: ok, screenshots $SHOT and ${SHOT%.png}_question.png"
