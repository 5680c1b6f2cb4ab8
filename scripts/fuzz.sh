#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for a
# bounded time over its committed seed corpus.
#   fuzz.sh [SECONDS_EACH] [TARGET...]     (default 20 s, every target)
# New inputs found go to build-fuzz/corpus/<target>/, crashes and slow inputs
# to build-fuzz/findings/<target>/; the committed seeds are never modified.
# Each input has 5 s (a hang is a finding) and memory is capped at 512 MB, so
# an input that makes a reader allocate far beyond its size is a finding too.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
seconds=${1:-20}
shift || true
targets=("$@")
# Every target the fuzz folder's CMakeLists names.
[ ${#targets[@]} -eq 0 ] && read -r -a targets <<<"$(sed -n 's/^set(FUZZ_TARGETS \(.*\))$/\1/p' tests/fuzz/CMakeLists.txt)"

dir=${FUZZ_BUILD_DIR:-build-fuzz}
# Configured every time: a folder made before a target was added must learn of it.
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSWAPSPRINT_FUZZ=ON -DSWAPSPRINT_TESTS=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
status=0
for t in "${targets[@]}"; do
  # Absolute paths: the targets work inside a scratch folder of their own.
  mkdir -p "$dir/corpus/$t" "$dir/findings/$t"
  work="$(realpath "$dir/corpus/$t")"
  findings="$(realpath "$dir/findings/$t")"
  log="$dir/$t.log"
  # The first corpus folder receives new inputs; the committed seeds are read only.
  if "$dir/tests/fuzz/$t" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=512 -malloc_limit_mb=512 \
       -max_len=4096 -print_final_stats=1 -artifact_prefix="$findings/" \
       "$work" "$root/tests/fuzz/corpus/$t" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    status=1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  echo "$t: $result, $runs executions in ${seconds}s, corpus $(ls "$work" | wc -l) inputs, log $log"
  if [ "$result" = FAILED ]; then
    grep -E 'ERROR|SUMMARY|property broken|Test unit written' "$log" | head -20 || true
  fi
done
exit $status
