#!/usr/bin/env bash
# The XScreenSaver daemon from Debian runs vimbrel as installed: the build
# is installed (stripped) into a prefix in a test user's home, the user,
# who has no ~/.xscreensaver, puts the installed program in XScreenSaver's
# list with `vimbrel --add-to-xscreensaver` and then sets the daemon to run
# the first program of the list at once, `xscreensaver-command -activate`
# blanks the screen (the daemon's environment freezes vimbrel's clock), and
# a screenshot of the root must equal vimbrel-render's frame at the screen's
# size.
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
