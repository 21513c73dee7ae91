#!/usr/bin/env bash
# Installs the package DEB with apt into a throwaway copy of this machine's root
# (an overlay in a private mount namespace, gone when the script ends), starts
# the installed program as a user would, removes the package with apt and
# checks that the user's data is still there. Needs root; exits 77 when no
# throwaway root can be made here, so a caller can tell that from a failure.
#   packaging/throwaway_root_install.sh build/packages/ringeplagvern_1.0.0_amd64.deb
set -euo pipefail

deb=$(realpath "${1:?usage: $0 PACKAGE.deb}")
if [[ $(id -u) != 0 ]]; then
  echo "needs root to make a throwaway root"
  exit 77
fi
scratch=$(mktemp -d)
trap 'rmdir "$scratch"' EXIT

unshare --mount --propagation private bash -s "$deb" "$scratch" <<'IN_NAMESPACE'
set -euo pipefail
deb=$1
scratch=$2
mount -t tmpfs throwaway "$scratch"
mkdir "$scratch/upper" "$scratch/work" "$scratch/root"
if ! mount -t overlay overlay -o "lowerdir=/,upperdir=$scratch/upper,workdir=$scratch/work" "$scratch/root"; then
  echo "this machine cannot lay an overlay over its root"
  exit 77
fi
root=$scratch/root
mount --rbind /dev "$root/dev"
mount -t proc proc "$root/proc"
mount -t tmpfs tmp "$root/tmp"
cp "$deb" "$root/tmp/ringeplagvern.deb"

chroot "$root" /bin/bash -s <<'IN_ROOT'
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
# A package from an earlier install of the build must not stand in for this one.
if dpkg-query -W ringeplagvern >/dev/null 2>&1; then apt-get remove -y -qq ringeplagvern >/dev/null; fi
apt-get install -y -qq /tmp/ringeplagvern.deb >/tmp/apt-install.log 2>&1 || { cat /tmp/apt-install.log; exit 1; }
echo "installed: $(dpkg-query -W -f='${Package} ${Version} ${Status}' ringeplagvern)"

export HOME=/tmp/home XDG_CONFIG_HOME=/tmp/home/.config XDG_DATA_HOME=/tmp/home/.local/share
export XDG_CACHE_HOME=/tmp/home/.cache XDG_RUNTIME_DIR=/tmp/runtime RP_ADDRESSBOOK_ACCESS=granted
mkdir -p "$HOME" && mkdir -m 0700 "$XDG_RUNTIME_DIR"
cd /
ringeplagvern --version
said=$(ringeplagvern -platform offscreen --quit-after-first-paint --lang en 2>&1)
if grep -q translation <<<"$said"; then echo "$said"; exit 1; fi
echo "started and painted its window in English"

data=$(cd "$HOME" && find . -type f | sort)
[[ -n "$data" ]] || { echo "the program wrote no user data"; exit 1; }
apt-get remove -y -qq ringeplagvern >/tmp/apt-remove.log 2>&1 || { cat /tmp/apt-remove.log; exit 1; }
if [[ -e /usr/bin/ringeplagvern ]]; then echo "the program is still installed after apt remove"; exit 1; fi
after=$(cd "$HOME" && find . -type f | sort)
if [[ "$after" != "$data" ]]; then
  echo "apt remove touched the user's data:"; diff <(echo "$data") <(echo "$after") || true
  exit 1
fi
echo "removed; the user's data is untouched:"
echo "$data"
IN_ROOT
IN_NAMESPACE
