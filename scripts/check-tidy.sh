#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over the production sources
# of a built tree.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  cat <<'EOF'
Usage: scripts/check-tidy.sh [--all] [--jobs N] [--checks LIST] [BUILD_DIR] [-- FILE...]

Runs clang-tidy with the checks listed in .clang-tidy on the sources of
BUILD_DIR/compile_commands.json (default BUILD_DIR: build) and fails when it
reports anything, in those sources or in the project headers they include.

  (no option)    the production sources: not tests, benchmarks, fuzzers or
                 test helpers, and never the build's generated files
  --all          every project source of the compilation database
  --jobs N       clang-tidy processes at once (default 2)
  --checks LIST  clang-tidy's --checks, added after .clang-tidy's own,
                 e.g. to try a check before adding it there
  -- FILE...     only these sources
  --help         this text

The build must have been built (or at least configured and its generated
headers made), as sources include the forms' generated headers.

Exit status: 0 without findings, 1 with findings, 2 on a usage error.
EOF
}

build_dir=build
jobs=2
scope=production
extra_checks=""
files=()
while (($#)); do
  case "$1" in
    --help | -h) usage; exit 0 ;;
    --all) scope=all; shift ;;
    --jobs) jobs="${2:?--jobs needs a number}"; shift 2 ;;
    --checks) extra_checks="${2:?--checks needs a list}"; shift 2 ;;
    --) shift; files=("$@"); break ;;
    -*) echo "unknown option: $1" >&2; usage >&2; exit 2 ;;
    *) build_dir="$1"; shift ;;
  esac
done

database="$build_dir/compile_commands.json"
if [[ ! -f "$database" ]]; then
  echo "check-tidy: no $database; configure and build first (scripts/test.sh --build-only)" >&2
  exit 2
fi

root="$PWD"
if ((${#files[@]} == 0)); then
  # The project's own sources, not what the build generated beside them;
  # tests, benchmarks, fuzzers and test helpers only with --all.
  mapfile -t files < <(python3 - "$database" "$root" "$scope" <<'PY'
import json, os, re, sys
database, root, scope = sys.argv[1:]
build = os.path.realpath(os.path.dirname(database))
test_code = re.compile(r"(^|/)(tests|bench|testing)/|_(test|fuzzer|bench)\.cpp$")
seen = set()
for entry in json.load(open(database)):
    path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    name = os.path.relpath(path, root)
    if name.startswith("..") or path.startswith(build + os.sep) or name in seen:
        continue
    if scope == "production" and test_code.search(name):
        continue
    seen.add(name)
    print(name)
PY
  )
fi
if ((${#files[@]} == 0)); then
  echo "check-tidy: no source to check in $database" >&2
  exit 2
fi

# Findings in the project's headers count as well; the build folders', whose
# generated headers nobody writes by hand, do not.
folders=$(git ls-files -- '*.h' | cut -d/ -f1 | sort -u | paste -sd'|')
tidy_arguments=(-p "$build_dir" --quiet "--header-filter=^$root/($folders)/" --warnings-as-errors='*'
  # The build may treat warnings as errors; clang's own warnings are the
  # compiler's business, not this check's.
  --extra-arg=-Wno-error --extra-arg=-Wno-unknown-warning-option)
if [[ -n "$extra_checks" ]]; then
  tidy_arguments+=("--checks=$extra_checks")
fi

report=$(mktemp)
trap 'rm -f "$report"' EXIT
started=$SECONDS
status=0
# One clang-tidy a file; each prints its findings in one piece when done.
printf '%s\0' "${files[@]}" | xargs -0 -n1 -P"$jobs" sh -c '
  output=$(clang-tidy "$@" 2>&1); status=$?
  printf "%s\n" "$output" | grep -vE "^[0-9]+ (warning|error)s? (and [0-9]+ (warning|error)s? )?generated\.$" || true
  exit $status' check-tidy "${tidy_arguments[@]}" >"$report" || status=$?
cat "$report"

findings=$({ grep -E '^[^ ].*: (warning|error): ' "$report" || true; } | sort -u | wc -l)
echo "check-tidy: ${#files[@]} sources in $((SECONDS - started)) s with $jobs jobs, $findings findings"
if ((status != 0 || findings > 0)); then
  exit 1
fi
