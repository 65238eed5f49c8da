# Sourced by the benchmark scripts.
# best NAME FILE...: the fastest repetition of benchmark NAME (real time, seconds) in Google
# Benchmark's JSON files.
best() {
    local want=$1
    shift
    awk -v want="$want" '
        /"name":/ { name = $0; gsub(/.*"name": "|",?$/, "", name) }
        /"run_type":/ { kind = $0; gsub(/.*"run_type": "|",?$/, "", kind) }
        /"real_time":/ {
            t = $0; gsub(/.*"real_time": |,?$/, "", t)
            if (kind == "iteration" && index(name, want "/") == 1) print t / 1000
        }
    ' "$@" | sort -g | head -1
}
