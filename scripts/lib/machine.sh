# Sourced by the scripts: what this machine can run, found out once per run
# and handed on to the scripts it starts through VIMBREL_RUNS_32BIT (1 or 0).
#
# Some kernels (many virtual machines and containers) cannot execute 32-bit
# x86 programs at all; there the 32-bit Wine loader fails with "Exec format
# error" and only the 64-bit loader runs, so only vimbrel64.scr can be run.
# The answer comes from running a 32-bit program, never from a guess:
# Wine's 32-bit loader where it is installed, otherwise a 96-byte static
# i386 program that only exits with 42 (written here, so that set-up can ask
# before it installs anything). VIMBREL_WINE32_LOADER names another loader;
# one that cannot run (e.g. a missing path) makes a machine without 32-bit
# programs for a test of the scripts.

wine32_loader=${VIMBREL_WINE32_LOADER:-/usr/lib/wine/wine}
wine64_loader=/usr/lib/wine/wine64

# Runs a minimal i386 ELF program: exit(42) through int 0x80.
kernel_runs_i386_program() {
  local probe status dir
  # In the build tree: /tmp may be mounted without the right to run programs.
  dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build"
  mkdir -p "$dir" && probe=$(mktemp "$dir/i386-probe.XXXXXX") || return 1
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0' >"$probe"
  printf '\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\140\0\0\0\140\0\0\0\5\0\0\0\0\20\0\0' >>"$probe"
  printf '\270\1\0\0\0\273\52\0\0\0\315\200' >>"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  [ "$status" -eq 42 ]
}

# Sets and exports VIMBREL_RUNS_32BIT unless a calling script already did.
detect_32bit_programs() {
  case "${VIMBREL_RUNS_32BIT:-}" in 0|1) return 0 ;; esac
  VIMBREL_RUNS_32BIT=0
  if [ -n "${VIMBREL_WINE32_LOADER:-}" ] || [ -e "$wine32_loader" ]; then
    "$wine32_loader" --version >/dev/null 2>&1 && VIMBREL_RUNS_32BIT=1
  else
    kernel_runs_i386_program && VIMBREL_RUNS_32BIT=1
  fi
  export VIMBREL_RUNS_32BIT
}

runs_32bit_programs() {
  detect_32bit_programs
  [ "$VIMBREL_RUNS_32BIT" = 1 ]
}
