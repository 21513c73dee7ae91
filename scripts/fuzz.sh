#!/usr/bin/env bash
# Builds every libFuzzer target with clang under ASan+UBSan and runs each for
# RP_FUZZ_SECONDS (default 60). A finding fails the run and leaves its input
# in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

seconds="${RP_FUZZ_SECONDS:-60}"
build_dir=build-fuzz
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD"
fi
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DRP_BUILD_FUZZERS=ON -DRP_SANITIZER=address -DRP_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build_dir" -j2 --target fuzzers

mkdir -p "$build_dir/findings"
shopt -s nullglob
fuzzers=("$build_dir"/fuzzers/*)
if ((${#fuzzers[@]} == 0)); then
  echo "no fuzzer was built"
  exit 1
fi
for fuzzer in "${fuzzers[@]}"; do
  [[ -x "$fuzzer" ]] || continue
  name=$(basename "$fuzzer")
  corpus="$build_dir/corpus/$name"
  log="$build_dir/findings/$name.log"
  mkdir -p "$corpus"
  echo "== $name for ${seconds}s"
  status=0
  "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    -artifact_prefix="$build_dir/findings/$name-" -print_final_stats=1 "$corpus" >"$log" 2>&1 || status=$?
  if ((status != 0)); then
    # The whole report: the sanitizer's stack and the input it saved.
    tail -n 100 "$log"
    echo "$name found a failure (exit $status)"
    exit 1
  fi
  tail -n 12 "$log"
done
