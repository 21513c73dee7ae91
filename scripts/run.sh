#!/usr/bin/env bash
# Builds Ringeplagvern and starts it. Arguments go to the application (see
# `--help`). When no list host is configured (--list-host, the environment or
# ~/.config/Ringeplagvern/listservice.conf), a local list service serving the
# sample list is started on loopback for as long as the application runs, so
# the whole cycle works on this machine without the internet.
#
# Without a display it builds the command-line program instead, shows
# `ringeplagvern-cli status` (the arguments go before the command) and says
# how to go on from there.
set -euo pipefail
cd "$(dirname "$0")/.."

headless=""
if [[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" && "${QT_QPA_PLATFORM:-}" != offscreen ]]; then
  headless=yes
fi

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [[ -n "$headless" ]]; then
  cmake --build build -j2 --target ringeplagvern-cli listservice
  program=(build/app/cli/ringeplagvern-cli)
  command=(status)
else
  cmake --build build -j2 --target ringeplagvern listservice
  program=(build/app/ringeplagvern)
  command=()
fi

# Without a display: what the command-line program offers next; with the
# sample list service only while this script ran, say how to start it again.
how_to_continue() {
  echo
  echo "No display found: this was the command-line version of Ringeplagvern."
  if [[ "$1" == sample ]]; then
    echo "Start the local list service first (it answers on the program's default address):"
    echo "  build/tools/listservice/listservice resources/sample/numberlist.json &"
  fi
  cat <<'HELP'
Then go on with
  build/app/cli/ringeplagvern-cli refresh          # fetch the number list
  build/app/cli/ringeplagvern-cli protect on       # build the protection contact
  build/app/cli/ringeplagvern-cli search 79867417  # is a number listed?
  build/app/cli/ringeplagvern-cli --help           # every command and its exit codes
The window needs a desktop session (or QT_QPA_PLATFORM=offscreen for a check without a screen).
HELP
}

config="${XDG_CONFIG_HOME:-$HOME/.config}/Ringeplagvern/listservice.conf"
configured=""
[[ -n "${RINGEPLAGVERN_LIST_HOST:-}" ]] && configured=yes
[[ -f "$config" ]] && grep -q '^primaryHost=' "$config" && configured=yes
for argument in "$@"; do
  [[ "$argument" == --list-host* ]] && configured=yes
done
if [[ -n "$configured" ]]; then
  if [[ -z "$headless" ]]; then
    exec "${program[@]}" "$@"
  fi
  status=0
  "${program[@]}" "$@" "${command[@]}" || status=$?
  how_to_continue configured
  exit "$status"
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
status=0
"${program[@]}" --list-host "$address" --backup-host "$address" "$@" "${command[@]}" || status=$?
if [[ -n "$headless" ]]; then
  how_to_continue sample
fi
exit "$status"
