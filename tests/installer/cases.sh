# cases.sh - the case lines both installer tests print. A case gathers
# what is wrong through check and problems+=(...); report prints
# "$test_name CASE...: ok", or ": FAILED" with those lines, and counts it.
failures=0
problems=()
check() {  # DESCRIPTION COMMAND...
  local description=$1
  shift
  "$@" >/dev/null 2>&1 || problems+=("$description")
}
report() {  # CASE...
  if [ ${#problems[@]} -eq 0 ]; then
    echo "$test_name $*: ok"
  else
    echo "$test_name $*: FAILED"
    printf '  %s\n' "${problems[@]}"
    failures=$((failures + 1))
  fi
  problems=()
}
