#!/usr/bin/env bash
# Builds Ringeplagvern and starts it. Arguments go to the application (see
# `--help`). When no list host is configured (--list-host, the environment or
# ~/.config/Ringeplagvern/listservice.conf), a local list service serving the
# sample list is started on loopback for as long as the application runs, so
# the whole cycle works on this machine without the internet.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" && "${QT_QPA_PLATFORM:-}" != offscreen ]]; then
  echo "No display found: Ringeplagvern is a desktop application; start it from a desktop session" \
       "(or with QT_QPA_PLATFORM=offscreen for a check without a screen)." >&2
  exit 1
fi

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target ringeplagvern listservice

config="${XDG_CONFIG_HOME:-$HOME/.config}/Ringeplagvern/listservice.conf"
configured=""
[[ -n "${RINGEPLAGVERN_LIST_HOST:-}" ]] && configured=yes
[[ -f "$config" ]] && grep -q '^primaryHost=' "$config" && configured=yes
for argument in "$@"; do
  [[ "$argument" == --list-host* ]] && configured=yes
done
if [[ -n "$configured" ]]; then
  exec build/app/ringeplagvern "$@"
fi

log=$(mktemp)
build/tools/listservice/listservice --port 0 resources/sample/numberlist.json >"$log" 2>&1 &
service=$!
trap 'kill "$service" 2>/dev/null; rm -f "$log"' EXIT
address=""
for _ in $(seq 50); do
  address=$(sed -n 's|^listservice: serving .* on http://||p' "$log")
  [[ -n "$address" ]] && break
  kill -0 "$service" 2>/dev/null || break
  sleep 0.1
done
if [[ -z "$address" ]]; then
  echo "The local list service did not start:" >&2
  cat "$log" >&2
  exit 1
fi
echo "Serving the sample number list on http://$address"
build/app/ringeplagvern --list-host "$address" --backup-host "$address" "$@"
