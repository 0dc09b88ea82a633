#!/usr/bin/env bash
# The Windows installer under Wine, as an administrator would use it: silent
# installs per user and for all users, the installed saver running /s and
# ending on a key, an install over an install, and silent uninstalls keeping
# or removing the settings. Each Windows gets a new prefix for the run: a
# 64-bit one (vimbrel64.scr expected) and, where this machine runs 32-bit
# programs, a 32-bit one (vimbrel.scr). The installer is a 32-bit program,
# so where the machine cannot run 32-bit programs nothing here can run and
# every case is reported skipped.
#   tests/installer/installer_test.sh SETUP.EXE BUILD_ROOT [RELEASE_DIR]
# BUILD_ROOT holds mingw32/vimbrel.scr, mingw64/vimbrel64.scr and
# mingw64/package/installer.nsh: the files the installer must put in place
# and the names its entry must carry. RELEASE_DIR, from
# tests/installer/release_test.sh, makes SETUP.EXE its signed installer:
# the files to put in place are then the signed ones in its zip, the
# uninstaller an install writes must carry the test certificate's
# signature, and one more case runs what winget, Chocolatey and Scoop run,
# with the switches their manifests give. Prints one line per case,
# "installer-test WINDOWS CASE: ok", ": FAILED" with what was wrong, or
# ": skipped (why)"; exits non-zero when any case failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/machine.sh"

[ $# -eq 2 ] || [ $# -eq 3 ] || { echo "usage: $0 SETUP.EXE BUILD_ROOT [RELEASE_DIR]" >&2; exit 2; }
setup_file=$(realpath "$1")
build=$(realpath "$2")
release=
[ $# -eq 3 ] && release=$(realpath "$3")
info="$build/mingw64/package/installer.nsh"
define() { sed -n "s/^!define $1 \"\\(.*\\)\"\$/\\1/p" "$info"; }
product=$(define VIMBREL_PRODUCT)
version=$(define VIMBREL_VERSION)
publisher=$(define VIMBREL_PUBLISHER)
export VIMBREL_DISPLAY=${VIMBREL_DISPLAY:-:97}
work="$root/build/installer-test"
user=$(id -un)

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vimbrel'
uninstall_key_all='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vimbrel'
desktop='HKCU\Control Panel\Desktop'
settings='HKCU\Software\Kelvarn\ScreenSavers\Vimbrel'
previous='C:\windows\system32\previous.scr'
record=0102030405060708

test_name=installer-test
source "$root/tests/installer/cases.sh"

# Wine in this Windows's prefix, whose wineserver stays up for the run.
w() {
  VIMBREL_WINEPREFIX=$prefix VIMBREL_WINEARCH=$arch "$root/scripts/wine-env" "$@"
}
# An uninstaller goes on from a copy of itself in the temporary folder
# (~nsuN.tmp\Un.exe) after the one started has ended: waits up to 60 s for
# this prefix's copy to end.
wait_for_uninstaller() {
  local pid busy
  for _ in $(seq 1 600); do
    busy=0
    for pid in $(pgrep -f '~nsu[^ ]*\.tmp\\Un\.exe' 2>/dev/null); do
      tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix" && busy=1
    done
    [ "$busy" = 0 ] && return 0
    sleep 0.1
  done
  return 1
}
# Runs a program to its end (an uninstaller's copy too); its exit status.
run() {  # WINDOWS-PROGRAM ARGUMENTS...
  local status=0
  w wine "$@" >>"$prefix.log" 2>&1 || status=$?
  wait_for_uninstaller || status=124
  return "$status"
}
# The same through cmd, with the command line as given: NSIS takes /D=
# unquoted, and wine would quote an argument holding a space.
run_command_line() {  # COMMAND-LINE
  run cmd /c "$1"
}
# Wine's reg in the 64-bit Windows's own view (Debian's wine starts the
# 32-bit reg.exe, which would see HKLM\Software\Wow6432Node).
reg() {
  local view=()
  [ "$arch" = win64 ] && view=(/reg:64)
  w wine reg "$@" "${view[@]}"
}
# Every value of a key, kept for value_of; a missing key leaves nothing.
dumped=
dump() { dumped=$(reg query "$1" 2>/dev/null | tr -d '\r'); }
# The data of a value of the key last dumped; a non-zero exit when there is none.
value_of() {  # VALUE
  local name
  name=$(sed 's/[.]/\\./g' <<<"$1")
  grep -qE "^ +$name +REG_" <<<"$dumped" || return 1
  sed -nE "s/^ +$name +REG_[A-Z_]+( +(.*))?\$/\\2/p" <<<"$dumped" | head -1
}
reg_get() {  # KEY VALUE
  dump "$1"
  value_of "$2"
}
reg_set() {  # KEY VALUE TYPE DATA
  reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
}
has_key() { reg query "$1" >/dev/null 2>&1; }
equals() { [ "$1" = "$2" ]; }
equals_nocase() { [ "${1,,}" = "${2,,}" ]; }
no_file() { [ ! -e "$1" ]; }
short_saver_path() { [[ "${1,,}" == c:\\*.scr && "$1" != *' '* ]]; }

# Ends every program of the prefix and starts its wineserver anew.
restart_server() {
  w wineserver -k 2>/dev/null
  w wineserver -w 2>/dev/null
  w wineserver -p
}

# Makes a folder that refuses new files: read-only for a user, immutable
# for root (who writes through modes); false when neither holds.
refuse_writes() {  # UNIX-FOLDER
  mkdir -p "$1"
  chmod 555 "$1"
  touch "$1/.probe" 2>/dev/null && { rm -f "$1/.probe"; chattr +i "$1" 2>/dev/null; }
  ! touch "$1/.probe" 2>/dev/null
}
allow_writes() {  # UNIX-FOLDER
  chattr -i "$1" 2>/dev/null
  chmod 755 "$1"
  rm -rf "$(dirname "$1")"
}

# The saver as the system starts it (a 64-bit Windows with its 64-bit
# loader): /s, a window within 30 s, and one key ends it within 10 s.
saver_ends_on_key() {  # WINDOWS-PATH
  local pid wid loader=wine
  [ "$arch" = win64 ] && loader=$wine64_loader
  w "$loader" "$1" /s >>"$prefix.log" 2>&1 &
  pid=$!
  if ! wid=$(DISPLAY=$VIMBREL_DISPLAY timeout 30 xdotool search --sync --name '^Screen Saver$' 2>/dev/null | sed -n 1p) ||
     [ -z "$wid" ]; then
    problems+=("the installed saver showed no window with /s")
  else
    sleep 1
    DISPLAY=$VIMBREL_DISPLAY xdotool windowfocus --sync "$wid" key x 2>/dev/null || DISPLAY=$VIMBREL_DISPLAY xdotool key x
    timeout 10 tail --pid="$pid" -f /dev/null || problems+=("the installed saver did not end on a key within 10 s")
  fi
  kill -0 "$pid" 2>/dev/null && restart_server
  wait "$pid" 2>/dev/null
}

# The entry in the list of programs: names, icon, size, uninstall strings.
check_entry() {  # KEY FOLDER(Windows) FOLDER(Unix) SCR(Unix)
  local key=$1 folder=$2 unix_folder=$3 scr=$4 size
  dump "$key"
  check "entry folder" equals "$(value_of InstallLocation)" "$folder"
  check "entry DisplayName $product" equals "$(value_of DisplayName)" "$product"
  check "entry DisplayVersion $version" equals "$(value_of DisplayVersion)" "$version"
  check "entry Publisher $publisher" equals "$(value_of Publisher)" "$publisher"
  check "entry DisplayIcon the uninstaller's" equals "$(value_of DisplayIcon)" "$folder\\uninstall.exe,0"
  check "entry QuietUninstallString" equals "$(value_of QuietUninstallString)" "\"$folder\\uninstall.exe\" /S"
  check "entry UninstallString" equals "$(value_of UninstallString)" "\"$folder\\uninstall.exe\""
  size=$(( ($(stat -c %s "$scr") + $(stat -c %s "$unix_folder/uninstall.exe" 2>/dev/null || echo 0) + 1023) / 1024 ))
  check "entry EstimatedSize $size KB" equals "$(value_of EstimatedSize)" "$(printf '0x%x' "$size")"
}

# Runs an uninstall string as a package manager does: the quoted program
# with the switches after it.
run_uninstall_string() {  # STRING [MORE SWITCHES...]
  local program=${1#\"}
  program=${program%%\"*}
  local switches=${1:${#program}+2}
  shift
  # shellcheck disable=SC2086  # the switches are words
  run "$program" $switches "$@"
}

# What each package manager runs, with its manifest's switches: winget the
# installer per user and per machine and the entry's QuietUninstallString;
# Chocolatey its silent arguments and the entry's uninstaller with /S;
# Scoop unpacks the zip, from where the saver runs.
package_managers() {  # WINDOWS SCR-NAME SYSTEM-FOLDER(Unix)
  local windows=$1 scr=$2 system=$3 winget_user='' winget_machine='' choco_install='' choco_uninstall='' scoop_zip=''
  source "$release/commands"
  local user_scr="$prefix/drive_c/users/$user/AppData/Local/Programs/Vimbrel/$scr"
  reg_set "$desktop" SCRNSAVE.EXE REG_SZ "$previous"
  reg_set "$desktop" ScreenSaveActive REG_SZ 0
  # shellcheck disable=SC2086
  check "winget per user: the installer exits with 0" run "$setup" $winget_user
  check "winget per user: $scr in the user's folder" test -f "$user_scr"
  check "winget per user: an entry for the user" has_key "$uninstall_key"
  check "winget per user: the uninstall exits with 0" run_uninstall_string "$(reg_get "$uninstall_key" QuietUninstallString)"
  check "winget per user: no $scr" no_file "$user_scr"
  check "winget per user: no entry" eval "! has_key '$uninstall_key'"
  check "winget per user: SCRNSAVE.EXE the previous one" equals "$(reg_get "$desktop" SCRNSAVE.EXE)" "$previous"
  # shellcheck disable=SC2086
  check "winget per machine: the installer exits with 0" run "$setup" $winget_machine
  check "winget per machine: $scr in the system folder" test -f "$system/$scr"
  check "winget per machine: the uninstall exits with 0" run_uninstall_string "$(reg_get "$uninstall_key_all" QuietUninstallString)"
  check "winget per machine: no $scr" no_file "$system/$scr"
  check "winget per machine: no entry" eval "! has_key '$uninstall_key_all'"
  # shellcheck disable=SC2086
  check "Chocolatey: the installer exits with 0" run "$setup" $choco_install
  check "Chocolatey: $scr in the system folder" test -f "$system/$scr"
  check "Chocolatey: SCRNSAVE.EXE names it" equals_nocase "$(reg_get "$desktop" SCRNSAVE.EXE)" "C:\\windows\\system32\\$scr"
  # shellcheck disable=SC2086
  check "Chocolatey: the uninstall exits with 0" run_uninstall_string "$(reg_get "$uninstall_key_all" UninstallString)" $choco_uninstall
  check "Chocolatey: no $scr" no_file "$system/$scr"
  check "Chocolatey: no entry" eval "! has_key '$uninstall_key_all'"
  check "Chocolatey: SCRNSAVE.EXE the previous one" equals "$(reg_get "$desktop" SCRNSAVE.EXE)" "$previous"
  check "Chocolatey: the screen saver off again" equals "$(reg_get "$desktop" ScreenSaveActive)" 0
  local scoop="$prefix/drive_c/users/$user/scoop/apps/vimbrel/current"
  mkdir -p "$scoop"
  check "Scoop: the zip unpacks" unzip -q -o "$release/signed/$scoop_zip" -d "$scoop"
  check "Scoop: SCRNSAVE.EXE left alone" equals "$(reg_get "$desktop" SCRNSAVE.EXE)" "$previous"
  saver_ends_on_key "C:\\users\\$user\\scoop\\apps\\vimbrel\\current\\$scr"
  rm -rf "$prefix/drive_c/users/$user/scoop"
  report "$windows" "what winget, Chocolatey and Scoop run"
}

scenarios() {  # WINDOWS SCR-NAME PRODUCT-FILE SYSTEM-FOLDER(Unix, the native one)
  local windows=$1 scr=$2 built=$3 system=$4
  local folder="C:\\users\\$user\\AppData\\Local\\Programs\\Vimbrel"
  local unix_folder="$prefix/drive_c/users/$user/AppData/Local/Programs/Vimbrel"

  # Per user: the user's programs folder, the saver set as current (the
  # one it replaced remembered), the entry in HKCU and none in HKLM.
  reg_set "$desktop" SCRNSAVE.EXE REG_SZ "$previous"
  reg_set "$desktop" ScreenSaveActive REG_SZ 0
  check "the installer exits with 0" run "$setup" /S
  check "$scr in the user's programs folder, as built" cmp "$built" "$unix_folder/$scr"
  check "the uninstaller beside it" test -f "$unix_folder/uninstall.exe"
  [ -n "$release" ] && check "the uninstaller signed" \
    osslsigncode verify -CAfile "$release/keys/cert.pem" -in "$unix_folder/uninstall.exe"
  check "no $scr in the system folder" no_file "$system/$scr"
  check "only $scr installed" no_file "$unix_folder/$([ "$scr" = vimbrel.scr ] && echo vimbrel64.scr || echo vimbrel.scr)"
  check "SCRNSAVE.EXE names it" equals_nocase "$(reg_get "$desktop" SCRNSAVE.EXE)" "$folder\\$scr"
  check "the screen saver switched on" equals "$(reg_get "$desktop" ScreenSaveActive)" 1
  check_entry "$uninstall_key" "$folder" "$unix_folder" "$built"
  check "no entry for all users" test -z "$(reg_get "$uninstall_key_all" DisplayName)"
  report "$windows" "per-user install"

  saver_ends_on_key "$folder\\$scr"
  report "$windows" "installed saver runs /s and ends on a key"

  # Over an install: the settings stay, and the remembered saver stays the
  # one before Vimbrel, not Vimbrel itself.
  reg_set "$settings" Config REG_BINARY "$record"
  reg_set "$settings" EveryMonitor REG_DWORD 0
  check "the second installer exits with 0" run "$setup" /S
  check "$scr still in place" cmp "$built" "$unix_folder/$scr"
  check "Config kept" equals "$(reg_get "$settings" Config)" "$record"
  check "EveryMonitor kept" equals "$(reg_get "$settings" EveryMonitor)" 0x0
  check "SCRNSAVE.EXE still names it" equals_nocase "$(reg_get "$desktop" SCRNSAVE.EXE)" "$folder\\$scr"
  report "$windows" "install over an install keeps the settings"

  # The uninstall string: no file, no folder, no entry, the previous saver
  # back as it was (switched off), the settings kept.
  check "the uninstaller exits with 0" run "$folder\\uninstall.exe" /S
  check "no $scr" no_file "$unix_folder/$scr"
  check "no folder" no_file "$unix_folder"
  check "no entry key" eval "! has_key '$uninstall_key'"
  check "SCRNSAVE.EXE the previous one" equals "$(reg_get "$desktop" SCRNSAVE.EXE)" "$previous"
  check "the screen saver off again" equals "$(reg_get "$desktop" ScreenSaveActive)" 0
  check "Config kept" equals "$(reg_get "$settings" Config)" "$record"
  check "EveryMonitor kept" equals "$(reg_get "$settings" EveryMonitor)" 0x0
  check "no installer memory left" eval "! has_key '$settings\\Setup'"
  report "$windows" "silent uninstall keeps the settings and puts the previous saver back"

  # A folder of its own with a space in its name, and no saver before:
  # SCRNSAVE.EXE gets the folder's short form (the system starts the saver
  # from an unquoted command line), the uninstall knows it as its own and
  # leaves no saver.
  local spaced='C:\Vimbrel Saver'
  reg delete "$desktop" /v SCRNSAVE.EXE /f >/dev/null 2>&1
  check "the installer exits with 0" run_command_line "C:\\vimbrel-setup.exe /S /D=$spaced"
  check "$scr in the folder given" cmp "$built" "$prefix/drive_c/Vimbrel Saver/$scr"
  dump "$desktop"
  check "SCRNSAVE.EXE a short path, without a space" short_saver_path "$(value_of SCRNSAVE.EXE)"
  check "the uninstaller exits with 0" run "$spaced\\uninstall.exe" /S
  check "no folder" no_file "$prefix/drive_c/Vimbrel Saver"
  check "no SCRNSAVE.EXE after" eval "! reg_get '$desktop' SCRNSAVE.EXE"
  report "$windows" "install into a folder with a space, uninstall after no previous saver leaves none"

  # A folder that refuses writes: the install stops with a non-zero exit and
  # changes nothing, per user (the saver cannot be written) and for all
  # users (the saver goes to the system folder, the uninstaller cannot).
  local refusing='C:\Refusing\Vimbrel'
  reg_set "$desktop" SCRNSAVE.EXE REG_SZ "$previous"
  reg_set "$desktop" ScreenSaveActive REG_SZ 0
  if refuse_writes "$prefix/drive_c/Refusing/Vimbrel"; then
    check "a per-user install into it exits non-zero" eval "! run_command_line 'C:\\vimbrel-setup.exe /S /D=$refusing'"
    check "nothing in it" eval "[ -z \"\$(ls -A '$prefix/drive_c/Refusing/Vimbrel')\" ]"
    check "no entry" eval "! has_key '$uninstall_key'"
    check "an all-users install into it exits non-zero" eval "! run_command_line 'C:\\vimbrel-setup.exe /S /ALLUSERS /D=$refusing'"
    check "no $scr left in the system folder" no_file "$system/$scr"
    check "no entry for all users" eval "! has_key '$uninstall_key_all'"
    check "SCRNSAVE.EXE as it was" equals "$(reg_get "$desktop" SCRNSAVE.EXE)" "$previous"
    check "the screen saver still off" equals "$(reg_get "$desktop" ScreenSaveActive)" 0
    check "no previous-saver record" eval "! has_key '$settings\\Setup'"
    allow_writes "$prefix/drive_c/Refusing/Vimbrel"
  else
    problems+=("no folder that refuses writes could be made here")
  fi
  report "$windows" "an install that cannot write its files changes nothing"

  # The saver deleted by hand from a folder with a blank: SCRNSAVE.EXE
  # holds its short form, which a missing file no longer has; the
  # uninstall still knows it as its own and puts the previous saver back.
  local blank='C:\My Savers\Vimbrel'
  check "the installer exits with 0" run_command_line "C:\\vimbrel-setup.exe /S /D=$blank"
  check "SCRNSAVE.EXE a short path" short_saver_path "$(reg_get "$desktop" SCRNSAVE.EXE)"
  rm -f "$prefix/drive_c/My Savers/Vimbrel/$scr"
  check "the uninstaller exits with 0" run "$blank\\uninstall.exe" /S
  check "SCRNSAVE.EXE the previous one" equals "$(reg_get "$desktop" SCRNSAVE.EXE)" "$previous"
  check "the screen saver off again" equals "$(reg_get "$desktop" ScreenSaveActive)" 0
  check "no folder" no_file "$prefix/drive_c/My Savers/Vimbrel"
  report "$windows" "uninstall after the saver was deleted puts the previous saver back"

  # A second install into another folder replaces the first: its files
  # go, one entry names the second, and one uninstall puts the saver back.
  check "the first installer exits with 0" run_command_line "C:\\vimbrel-setup.exe /S /D=C:\\vb1"
  check "the second installer exits with 0" run_command_line "C:\\vimbrel-setup.exe /S /D=C:\\vb2"
  check "no first folder" no_file "$prefix/drive_c/vb1"
  check "$scr in the second" cmp "$built" "$prefix/drive_c/vb2/$scr"
  check "the entry names the second" equals "$(reg_get "$uninstall_key" InstallLocation)" 'C:\vb2'
  check "SCRNSAVE.EXE names the second" equals_nocase "$(reg_get "$desktop" SCRNSAVE.EXE)" "C:\\vb2\\$scr"
  check "the uninstaller exits with 0" run 'C:\vb2\uninstall.exe' /S
  check "no second folder" no_file "$prefix/drive_c/vb2"
  check "no entry" eval "! has_key '$uninstall_key'"
  check "SCRNSAVE.EXE the previous one" equals "$(reg_get "$desktop" SCRNSAVE.EXE)" "$previous"
  report "$windows" "a second install into another folder replaces the first"

  [ -n "$release" ] && package_managers "$windows" "$scr" "$system"

  # For all users, not set as current: the system folder, Program Files
  # for the uninstaller, the entry in HKLM; a silent uninstall asked to
  # remove the settings leaves no key of ours, and a current saver that is
  # not Vimbrel is left alone.
  local all_folder="C:\\Program Files\\Vimbrel" all_unix="$prefix/drive_c/Program Files/Vimbrel"
  reg_set "$desktop" SCRNSAVE.EXE REG_SZ "$previous"
  check "the installer exits with 0" run "$setup" /S /ALLUSERS /NOSETCURRENT
  check "$scr in the system folder, as built" cmp "$built" "$system/$scr"
  [ "$windows" = win64 ] && check "nothing in the 32-bit system folder" no_file "$prefix/drive_c/windows/syswow64/$scr"
  check "the uninstaller in Program Files" test -f "$all_unix/uninstall.exe"
  check "nothing in the user's folder" no_file "$unix_folder"
  check "SCRNSAVE.EXE left alone" equals "$(reg_get "$desktop" SCRNSAVE.EXE)" "$previous"
  check_entry "$uninstall_key_all" "$all_folder" "$all_unix" "$built"
  check "no entry for the user" test -z "$(reg_get "$uninstall_key" DisplayName)"
  check "the uninstaller exits with 0" run "$all_folder\\uninstall.exe" /S /REMOVESETTINGS
  check "no $scr in the system folder" no_file "$system/$scr"
  check "no folder in Program Files" no_file "$all_unix"
  check "no entry" eval "! has_key '$uninstall_key_all'"
  check "SCRNSAVE.EXE still left alone" equals "$(reg_get "$desktop" SCRNSAVE.EXE)" "$previous"
  check "no settings key" eval "! has_key 'HKCU\\Software\\Kelvarn'"
  report "$windows" "all-users install and uninstall removing the settings"

  # For all users and set as current: SCRNSAVE.EXE names the system
  # folder's file, which the 64-bit system reads without redirection.
  check "the installer exits with 0" run "$setup" /S /ALLUSERS
  check "SCRNSAVE.EXE names the system folder's $scr" equals_nocase "$(reg_get "$desktop" SCRNSAVE.EXE)" "C:\\windows\\system32\\$scr"
  saver_ends_on_key "C:\\windows\\system32\\$scr"
  check "the uninstaller exits with 0" run "$all_folder\\uninstall.exe" /S
  check "SCRNSAVE.EXE the previous one" equals "$(reg_get "$desktop" SCRNSAVE.EXE)" "$previous"
  check "no $scr in the system folder" no_file "$system/$scr"
  report "$windows" "all-users install set as current, its saver runs, uninstall"
}

cases=10
[ -n "$release" ] && cases=11
use_windows() {  # WINDOWS(win64|win32)
  arch=$1
  prefix="$work/$1/prefix"
}

# A new prefix (wine-env makes it); its log says why when it fails.
new_prefix() {  # WINDOWS
  use_windows "$1"
  rm -rf "$prefix" "$prefix.log"
  mkdir -p "$(dirname "$prefix")"
  w wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >"$prefix.log" 2>&1 &&
    w wineserver -w
}

one_windows() {  # WINDOWS SCR-NAME PRESET
  use_windows "$1"
  if [ ! -f "$prefix/.vimbrel-ready" ]; then
    echo "installer-test $1: FAILED $cases cases: no Wine prefix (see $prefix.log)"
    failures=$((failures + cases))
    return
  fi
  cp "$setup_file" "$prefix/drive_c/vimbrel-setup.exe"
  setup='C:\vimbrel-setup.exe'
  w wineserver -p
  local built="$build/$3/$2"
  [ -n "$release" ] && built="$release/signed/unpacked/$2"  # what the signed installer holds
  scenarios "$1" "$2" "$built" "$prefix/drive_c/windows/system32"
  w wineserver -k 2>/dev/null
  w wineserver -w 2>/dev/null
}

detect_32bit_programs
if ! runs_32bit_programs; then
  for windows in win64 win32; do
    echo "installer-test $windows: skipped $cases cases (the installer is a 32-bit program and this machine's kernel cannot run 32-bit programs)"
  done
  exit 0
fi
# The two prefixes are made side by side (in folders of their own, so that
# wine-env's locks do not serialise them), once the display is up.
new_prefix win64 &
made64=$!
for _ in $(seq 1 100); do
  DISPLAY=$VIMBREL_DISPLAY xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
new_prefix win32
wait "$made64"
one_windows win64 vimbrel64.scr mingw64
one_windows win32 vimbrel.scr mingw32
[ "$failures" -eq 0 ]
