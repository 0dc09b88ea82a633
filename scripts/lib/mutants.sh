# The fault list's reading and a fault's seeding, shared by scripts/mutants
# (the native suite) and scripts/mutants-win32 (the Wine suites).

# The faults of list $1 as records: number, file, find, replace, suite,
# equivalent, shows. A paragraph of "key: value" lines is one fault; "\n" in
# find and replace stands for a line break.
parse() {  # LIST
  awk -v RS= -F'\n' '{
    file = find = replace = suite = equivalent = shows = ""
    for (i = 1; i <= NF; ++i) {
      if ($i ~ /^#/) continue
      key = $i; sub(/:.*/, "", key)
      value = $i; sub(/^[a-z]+: */, "", value)
      if (key == "file") file = value
      else if (key == "find") find = value
      else if (key == "replace") replace = value
      else if (key == "suite") suite = value
      else if (key == "equivalent") equivalent = value
      else if (key == "shows") shows = value
    }
    if (file != "") printf "%d\x1f%s\x1f%s\x1f%s\x1f%s\x1f%s\x1f%s\n", ++n, file, find, replace, suite, equivalent, shows
  }' "$1"
}

# Replaces the one occurrence of FIND in FILE; exit 3 when it is not there
# exactly once.
apply() {  # FILE FIND REPLACE
  FIND=$2 REPLACE=$3 perl -0777 -i -pe '
    BEGIN { ($f, $r) = ($ENV{FIND}, $ENV{REPLACE}); s/\\n/\n/g for ($f, $r); }
    $count = () = /\Q$f\E/g;
    if ($count != 1) { print STDERR "found $count times\n"; exit 3; }
    s/\Q$f\E/$r/;' "$1"
}

# Copies the files git knows or would add from $1 to $2; only those whose
# bytes differ from the copy's are copied, with a new time stamp, so that a
# second run rebuilds only what changed since (a time stamp kept from the
# tree could be older than the object a fault was built into).
copy_tree() {  # FROM TO
  (cd "$1" && git ls-files -z --cached --others --exclude-standard) | while IFS= read -r -d '' file; do
    [ -f "$1/$file" ] || continue
    cmp -s "$1/$file" "$2/$file" && continue
    mkdir -p "$2/$(dirname "$file")"
    cp "$1/$file" "$2/$file"
  done
}
