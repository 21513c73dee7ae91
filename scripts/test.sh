#!/usr/bin/env bash
# Builds the project and runs every test; ends with CTest's summary line.
#   scripts/test.sh                     the normal build, every test
#   scripts/test.sh --sanitize address  ASan+UBSan build, the tests without a screen
#   scripts/test.sh --sanitize thread   TSan build, the tests without a screen
#   scripts/test.sh --build-only        configures and builds, runs nothing (with
#                                       or without --sanitize)
set -euo pipefail
cd "$(dirname "$0")/.."

sanitizer=""
build_only=0
while (($#)); do
  case "$1" in
    --sanitize) sanitizer="${2:?--sanitize needs 'address' or 'thread'}"; shift 2 ;;
    --build-only) build_only=1; shift ;;
    *) echo "unknown option: $1 (see the top of $0)" >&2; exit 2 ;;
  esac
done

bash scripts/install-deps.sh

build_dir="build${sanitizer:+-$sanitizer}"
werror=OFF
[[ -n "${CI:-}" ]] && werror=ON
configuration=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [[ -n "$sanitizer" ]]; then
  # Light optimisation and line tables only: the sanitizers need no more, and
  # the build takes far less time. Tests that draw widgets are left out.
  configuration=(-DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" -DRP_BUILD_BENCHMARKS=OFF
    -DRP_BUILD_GUI_TESTS=OFF)
fi
# A compiler cache, when the machine has one, serves every checkout of the
# project: paths are taken relative to the checkout.
if command -v ccache >/dev/null; then
  configuration+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD"
fi
cmake -S . -B "$build_dir" -G Ninja "${configuration[@]}" -DRP_WERROR="$werror" -DRP_SANITIZER="$sanitizer" >/dev/null
cmake --build "$build_dir" -j2
if ((build_only)); then
  exit 0
fi

ctest_arguments=(--test-dir "$build_dir" -j2 --output-on-failure --no-tests=error)
if [[ -n "$sanitizer" ]]; then
  # Leaves out what draws widgets, should it be registered, and the install and
  # package checks, which are about the normal build's programs.
  excluded='ui|package'
  # The Evolution address-book service and its client libraries come
  # uninstrumented and hand their objects between their own threads, which the
  # thread checker cannot follow; their tests run in the other two builds.
  if [[ "$sanitizer" == thread ]]; then excluded+='|eds'; fi
  ctest_arguments+=(-LE "$excluded")
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/support/tsan.supp"
  export QT_NO_GLIB=1  # Qt's own event dispatcher, whose hand-overs the suppressions cover
fi
if [[ -z "$sanitizer" ]]; then
  # The Debian package of this build, beside it; the package tests check it too.
  (cd "$build_dir" && cpack --config CPackConfig.cmake -B packages >/dev/null)
  echo "Package: $(ls "$build_dir"/packages/*.deb)"
fi
ctest "${ctest_arguments[@]}"
