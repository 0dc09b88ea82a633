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

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: the daemon test creates the unprivileged user it runs as; run it as root"
  exit 77
fi
id -u "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/sh "$user"
home=$(getent passwd "$user" | cut -d: -f6)
as_user() { runuser -u "$user" -- env HOME="$home" "$@"; }

work=$home/vimbrel-test
rm -rf "$work" && mkdir -p "$work" "$out"
cmake --install "$build" --prefix "$work/prefix" --strip >"$work/install.log"
program=$work/prefix/libexec/xscreensaver/vimbrel
for file in "$program" "$work/prefix/share/xscreensaver/config/vimbrel.xml" "$work/prefix/share/man/man6/vimbrel.6" \
            "$work/prefix/share/applications/screensavers/vimbrel.desktop"; do
  [ -s "$file" ] || { echo "FAIL: the install did not put $file in place"; cat "$work/install.log"; exit 1; }
done
chown -R "$user:" "$work"
rm -f "$home/.xscreensaver"
if ! as_user "$program" --add-to-xscreensaver >"$work/add.log" 2>&1 ||
   ! grep -qF "\"Vimbrel\"  $program --root" "$home/.xscreensaver"; then
  echo "FAIL: --add-to-xscreensaver did not put the program in a new ~/.xscreensaver"
  cat "$work/add.log"
  exit 1
fi
# The settings a person then changes; the list stays as it was made.
cat >>"$home/.xscreensaver" <<EOF
mode: one
selected: 0
timeout: 0:30:00
lock: False
fade: False
unfade: False
splash: False
EOF

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  done
}
trap cleanup EXIT

# Polls a command until it succeeds, for at most $1 seconds.
wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
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
display=:$(cat "$work/display")
export DISPLAY=$display

start_as_user env VIMBREL_FROZEN_TICK="$tick" xscreensaver --no-splash
wait_for 20 as_user xscreensaver-command -time || { echo "FAIL: the daemon did not start"; cat "$work/log"; exit 1; }
as_user xscreensaver-command -activate

"$render" --out "$out/vimbrel-render-${width}x${height}.png" --size "${width}x${height}" --time "$tick"
shot=$out/xscreensaver-root.png
root_shows_frame() {
  as_user import -window root "$work/root.png" || return 1
  cp "$work/root.png" "$shot"
  [ "$(compare -metric AE "$shot" "$out/vimbrel-render-${width}x${height}.png" null: 2>&1)" = 0 ]
}
if ! wait_for 30 root_shows_frame; then
  echo "FAIL: the root does not show vimbrel's frame ($shot); daemon log:"
  cat "$work/log"
  exit 1
fi
pgrep -u "$user" -x vimbrel >/dev/null || { echo "FAIL: the frame is there but vimbrel is not running"; exit 1; }
echo "PASS: the daemon shows vimbrel's frame ($shot)"
