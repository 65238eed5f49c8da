#!/usr/bin/env bash
# Fails when one function or object of the program is defined in two different source files. The
# linker does not see it when both land in one static library (it takes whichever comes first),
# and two classes of one name with different bodies then behave as neither was written: a check box
# that unticks itself after the page ticked it. Reads the object files of the program's own code
# (not the tests', benchmarks' or fuzzers') in the build folder given (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
mapfile -t objects < <(find "$build" -name '*.o' -path '*CMakeFiles*' \
    -not -path "$build/tests/*" -not -path "$build/bench/*" -not -path "$build/fuzz/*" \
    -not -path "$build/tools/*" | sort)
[ ${#objects[@]} -gt 0 ] || { echo "no object files below $build"; exit 1; }

# "symbol source" for every strong definition; one source compiled into two targets counts once.
listing=$(for object in "${objects[@]}"; do
    source=${object#*.dir/}
    source=${source%.o}
    nm --defined-only --extern-only "$object" 2>/dev/null |
        awk -v src="$source" '$2 ~ /^[TDBR]$/ && $3 != "main" { print $3, src }'
done | sort -u)
duplicates=$(awk '{ count[$1]++; where[$1] = where[$1] " " $2 } END {
    for (s in count) if (count[s] > 1) print s ":" where[s] }' <<<"$listing" | sort)
if [ -n "$duplicates" ]; then
    echo "defined in more than one source file:"
    while IFS= read -r line; do
        symbol=${line%%:*}
        echo "  $(c++filt "$symbol") in${line#*:}"
    done <<<"$duplicates"
    exit 1
fi
echo "one definition: $(wc -l <<<"$listing") definitions in ${#objects[@]} object files"
