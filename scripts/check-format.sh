#!/usr/bin/env bash
# Checks that C++ sources follow the repository's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  cat <<'EOF'
Usage: scripts/check-format.sh [--base REF] [--fix] [FILE...]

Checks the tracked C++ sources (*.cpp, *.h) against .clang-format and fails,
listing what clang-format would change, when any file differs.

  (no argument)  every tracked C++ file; what CI runs
  --base REF     only the files changed since REF (committed, staged or not),
                 e.g. --base main before a commit
  --fix          rewrite the files in place instead of failing
  FILE...        only these files
  --help         this text

Exit status: 0 when every checked file is formatted, 1 when one is not,
2 on a usage error.
EOF
}

base=""
fix=0
files=()
while (($#)); do
  case "$1" in
    --help | -h) usage; exit 0 ;;
    --base) base="${2:?--base needs a revision}"; shift 2 ;;
    --fix) fix=1; shift ;;
    -*) echo "unknown option: $1" >&2; usage >&2; exit 2 ;;
    *) files+=("$1"); shift ;;
  esac
done

cxx_patterns=('*.cpp' '*.h')
if ((${#files[@]} == 0)); then
  if [[ -n "$base" ]]; then
    git rev-parse --verify --quiet "$base^{commit}" >/dev/null || { echo "no such revision: $base" >&2; exit 2; }
    # Deleted files have nothing left to check.
    mapfile -t files < <(git diff --name-only --diff-filter=d "$(git merge-base "$base" HEAD)" -- "${cxx_patterns[@]}")
  else
    mapfile -t files < <(git ls-files -- "${cxx_patterns[@]}")
  fi
fi
if ((${#files[@]} == 0)); then
  echo "clang-format: no C++ file to check"
  exit 0
fi

if ((fix)); then
  clang-format -i -- "${files[@]}"
  echo "clang-format: formatted ${#files[@]} files"
  exit 0
fi

# --Werror makes a difference fail clang-format, as a missing file does.
if findings=$(clang-format --dry-run --Werror -- "${files[@]}" 2>&1); then
  echo "clang-format: ${#files[@]} files checked, all formatted"
  exit 0
fi
echo "$findings"
unformatted=$({ grep -oE '^[^:]+:[0-9]+:[0-9]+: error: code should be clang-formatted' <<<"$findings" || true; } | cut -d: -f1 | sort -u)
if [[ -n "$unformatted" ]]; then
  echo
  echo "clang-format: $(wc -l <<<"$unformatted") of ${#files[@]} files differ from .clang-format:"
  sed 's/^/  /' <<<"$unformatted"
  echo "To format them: scripts/check-format.sh --fix" $unformatted
fi
exit 1
