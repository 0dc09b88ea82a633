#!/usr/bin/env bash
# The XScreenSaver daemon from Debian runs vimbrel as installed: the build
# is installed (stripped) into a prefix in a test user's home, the user,
# who has no ~/.xscreensaver, puts the installed program in XScreenSaver's
# list with `vimbrel --add-to-xscreensaver` and then sets the daemon to run
# the first program of the list at once, `xscreensaver-command -activate`
# blanks the screen (the daemon's environment freezes vimbrel's clock), and
# a screenshot of the root must equal vimbrel-render's frame at the screen's
# size. Before that, the daemon's log tells which program it runs in
# one-saver mode from files the list command edited or refused: the
# program selected before it added Vimbrel, and none from a list it would
# not read (which the command must refuse).
#
#   xscreensaver_test.sh BUILD_DIR VIMBREL_RENDER OUTPUT_DIR
#
# The daemon refuses to run programs as root, so it and its Xvfb run as the
# unprivileged user vimbrel-saver, which the test creates; it needs root for
# that and is skipped (status 77) otherwise. Every wait has a deadline; the
# screenshot is left in OUTPUT_DIR/xscreensaver-root.png.
set -euo pipefail
build=$1 render=$2 out=$3
user=vimbrel-saver
tick=4242 width=800 height=600

[ "$(id -u)" -eq 0 ] || { echo "SKIP: run it as root, which creates the user the daemon runs as"; exit 77; }
id -u "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/sh "$user"
home=$(getent passwd "$user" | cut -d: -f6)
as_user() { runuser -u "$user" -- env HOME="$home" "$@"; }

work=$home/vimbrel-test
rm -rf "$work" && mkdir -p "$work" "$out"
cmake --install "$build" --prefix "$work/prefix" --strip >"$work/install.log"
chown -R "$user:" "$work"
# The list as the installed program makes it (its line is then the first),
# and the settings a person then changes.
rm -f "$home/.xscreensaver"
as_user "$work/prefix/libexec/xscreensaver/vimbrel" --add-to-xscreensaver
printf '%s\n' 'mode: one' 'selected: 0' 'timeout: 0:30:00' 'lock: False' 'fade: False' 'unfade: False' \
  'splash: False' >>"$home/.xscreensaver"

pids=()
cleanup() {
  kill "${pids[@]}" 2>/dev/null || true
  for pid in "${pids[@]}"; do timeout 5 tail --pid="$pid" -f /dev/null || true; done
}
trap cleanup EXIT

# Polls a command until it succeeds, for at most $1 seconds.
wait_for() {
  local deadline=$((SECONDS + $1)) && shift
  until "$@" >/dev/null 2>&1; do [ "$SECONDS" -lt "$deadline" ] && sleep 0.2 || return 1; done
}

# As the user, starts a process whose pid is then the last entry of pids.
start_as_user() {
  local pidfile=$work/pid.$#.$RANDOM
  as_user sh -c 'echo $$ >"$0"; exec "$@"' "$pidfile" "$@" >>"$work/log" 2>&1 &
  wait_for 10 test -s "$pidfile"
  pids+=("$(cat "$pidfile")")
}

# The server picks a free display and writes its number (-displayfd), so no
# other server started meanwhile can be taken for ours.
start_as_user sh -c 'exec Xvfb -displayfd 3 -nolisten tcp -screen 0 "$0" 3>"$1"' "${width}x${height}x24" "$work/display"
wait_for 15 grep -qE '^[0-9]+$' "$work/display" || { echo "FAIL: no Xvfb could be started"; exit 1; }
export DISPLAY=:$(cat "$work/display")

vimbrel=$work/prefix/libexec/xscreensaver/vimbrel
one_saver=$'mode: one\ntimeout: 0:30:00\nlock: False\nfade: False\nunfade: False\nsplash: False\n'
# What the daemon runs when it blanks with the file as it stands.
daemon_runs() {
  : >"$work/log"
  start_as_user xscreensaver --no-splash --verbose
  wait_for 20 as_user xscreensaver-command -time || { echo "FAIL: the daemon did not start"; cat "$work/log"; exit 1; }
  as_user xscreensaver-command -activate >/dev/null
  wait_for 20 grep -q 'forked "[^x]' "$work/log" || { echo "FAIL: the daemon ran nothing"; cat "$work/log"; exit 1; }
  kill "${pids[-1]}" && timeout 10 tail --pid="${pids[-1]}" -f /dev/null && unset 'pids[-1]'
  grep -o 'forked "[^x][^"]*"' "$work/log" | head -1
}
check() { [ "$2" = "$3" ] || { echo "FAIL: $1: got '$2', expected '$3'"; exit 1; }; }
cp "$home/.xscreensaver" "$work/made"

list=$'selected: 2\n  Programs: \\\n  deco --root \\n\\\n  galaxy --root \\n\\\n  distort --root \\n\n'
printf '%s%s' "$one_saver" "$list" >"$home/.xscreensaver" && chown "$user:" "$home/.xscreensaver"
check "the selected program before adding" "$(daemon_runs)" 'forked "distort --root"'
as_user "$vimbrel" --add-to-xscreensaver >/dev/null
check "the selected program after adding" "$(daemon_runs)" 'forked "distort --root"'
grep -q '"Vimbrel"' "$home/.xscreensaver" || { echo "FAIL: Vimbrel was not added to the list"; exit 1; }

printf '%s%s' "$one_saver" "${list/Programs:/programs   :}" >"$home/.xscreensaver" && chown "$user:" "$home/.xscreensaver"
cp "$home/.xscreensaver" "$work/unread"
check "a list the daemon does not read" "$(daemon_runs)" 'forked "attraction --root"'  # its defaults' third
if as_user "$vimbrel" --add-to-xscreensaver 2>"$work/refused"; then
  echo "FAIL: the list command took a list the daemon does not read" && exit 1
fi
cmp -s "$home/.xscreensaver" "$work/unread" || { echo "FAIL: the refused file was changed"; exit 1; }
check "the refusal" "$(cat "$work/refused")" "vimbrel: '$home/.xscreensaver' line 8 'programs   :' is a list \
XScreenSaver does not read (it takes only 'programs:', nothing before the colon); it is left as it was"
cp "$work/made" "$home/.xscreensaver" && chown "$user:" "$home/.xscreensaver"

start_as_user env VIMBREL_FROZEN_TICK="$tick" xscreensaver --no-splash
wait_for 20 as_user xscreensaver-command -time || { echo "FAIL: the daemon did not start"; cat "$work/log"; exit 1; }
as_user xscreensaver-command -activate

frame=$out/vimbrel-render-${width}x${height}.png shot=$out/xscreensaver-root.png
"$render" --out "$frame" --size "${width}x${height}" --time "$tick"
root_shows_frame() {
  as_user import -window root "$work/root.png" && cp "$work/root.png" "$shot" &&
    [ "$(compare -metric AE "$shot" "$frame" null: 2>&1)" = 0 ]
}
if ! wait_for 30 root_shows_frame; then
  echo "FAIL: the root shows $shot, not vimbrel's frame $frame; daemon log:" && cat "$work/log" && exit 1
fi
pgrep -u "$user" -x vimbrel >/dev/null || { echo "FAIL: the frame is there but vimbrel is not running"; exit 1; }
echo "PASS: the daemon shows vimbrel's frame ($shot)"
