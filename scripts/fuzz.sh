#!/usr/bin/env bash
# Builds the libFuzzer targets into build-fuzz/ (clang, ASan+UBSan) and runs one or all of them.
# Usage: scripts/fuzz.sh [TARGET|all] [SECONDS]     (default: all, 60 seconds each)
# Exits non-zero on a finding; the input that caused it is left in build-fuzz/findings/TARGET/.
# To keep a finding as a regression input: build-fuzz/bin/TARGET -minimize_crash=1 -runs=100000 FILE,
# then copy the smallest crash-* it leaves into tests/data/fuzz/TARGET/ (the TARGET_replay test runs it).
# What a run discovers stays in build-fuzz/corpus/TARGET/; fuzz/corpus/TARGET/ holds only the seeds.
# Extra libFuzzer options can be given in FUZZ_ARGS (e.g. FUZZ_ARGS="-print_final_stats=1").
# FUZZ_PLAIN=1 builds without the sanitizers into build-fuzz-plain/ (coverage and the targets' own
# checks only; up to ten times the rate, for long runs); corpus and findings stay in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:-all}
seconds=${2:-60}
scripts/deps.sh clang libclang-rt-14-dev

bin=build-fuzz
sanitize=address,undefined
if [ -n "${FUZZ_PLAIN:-}" ]; then
    bin=build-fuzz-plain
    sanitize=
fi
cmake -S . -B "$bin" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DRT62M_FUZZ=ON \
      -DRT62M_FUZZ_SANITIZE="$sanitize" >/dev/null
if [ "$target" = all ]; then
    # Only the targets this build configured: fuzz_yaml needs yaml-cpp.
    available=$(cmake --build "$bin" --target help | sed -n 's/^\.\.\. \(fuzz_[a-z]*\)$/\1/p')
    targets=$(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//' | grep -Fx "$available")
else
    targets=$target
fi
for t in $targets; do
    cmake --build "$bin" -j"$(nproc)" --target "$t"
done

# A small quarantine and no malloc fill: the targets allocate in every run, and the default
# 256 MB quarantine turns that into page faults that slow a run several times over.
export ASAN_OPTIONS=${ASAN_OPTIONS:-max_malloc_fill_size=0:quarantine_size_mb=16}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
status=0
for t in $targets; do
    mkdir -p "build-fuzz/corpus/$t" "build-fuzz/findings/$t"
    flags=()
    [ -f "fuzz/$t.dict" ] && flags=(-dict="fuzz/$t.dict")
    # fuzz/TARGET.options: the target's own libFuzzer flags (input size limits).
    [ -f "fuzz/$t.options" ] && flags+=($(cat "fuzz/$t.options"))
    echo "== $t for ${seconds}s"
    # New inputs go into the first folder; the seeds are only read.
    if ! "$bin/bin/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="build-fuzz/findings/$t/" "${flags[@]}" ${FUZZ_ARGS:-} \
            "build-fuzz/corpus/$t" "fuzz/corpus/$t" 2>"build-fuzz/$t.log"; then
        tail -n 60 "build-fuzz/$t.log" >&2
        echo "FINDING in $t: see build-fuzz/findings/$t/ and build-fuzz/$t.log" >&2
        status=1
    else
        grep -E '^(Done|#[0-9]+ +DONE)' "build-fuzz/$t.log" | tail -n 1 || true
    fi
done
exit $status
