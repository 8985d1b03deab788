#!/usr/bin/env bash
# Proves that a newcomer's fresh Debian 12 machine needs nothing but the project: builds a
# minimal Debian 12 root (debootstrap --variant=minbase, from the archive this machine's apt
# sources name), puts a clean clone of the committed tree into it, and runs ./test.sh there
# as root; then checks that ./run.sh builds and says how to start the program, and that the
# way it names starts it; then makes the Debian package there (lintian clean), installs it
# and starts it once from /usr/bin. Needs root.
#
# The bare root is cached as a tarball outside the repo (PO_FRESH_CACHE, default
# ~/.cache/pelmora-po), so a rerun costs only the package install and the build.
# Usage: fresh-machine.sh [--new-root]   (--new-root: build the bare root anew)
set -euo pipefail
PO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PO_ROOT/scripts/setup.sh"

SUITE=bookworm
CACHE_DIR=${PO_FRESH_CACHE:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/pelmora-po}
TARBALL="$CACHE_DIR/debian12-minbase-root.tar"
[ "${1:-}" = "--new-root" ] && rm -f "$TARBALL"

[ "$(id -u)" -eq 0 ] || { echo "fresh-machine: must run as root (debootstrap, chroot, mount)" >&2; exit 1; }

# The first archive that the apt sources name for the Debian 12 suite, in either format.
debian_mirror() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # deb822 stanzas: the URIs of a "Types: deb" stanza whose Suites include the suite.
    awk -v suite="$SUITE" '
      function flush() { if (deb && has && uri != "") { print uri; found = 1; exit } deb = has = 0; uri = "" }
      /^[ \t]*#/ { next }
      /^[ \t]*$/ { flush(); next }
      tolower($1) == "types:" { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1 }
      tolower($1) == "uris:" { uri = $2 }
      tolower($1) == "suites:" { for (i = 2; i <= NF; i++) if ($i == suite) has = 1 }
      END { if (!found) flush() }' "$f"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    # One-line entries: deb [options] URI suite components...
    sed -E 's/\[[^]]*\]//' "$f" | awk -v suite="$SUITE" '$1 == "deb" && $3 == suite { print $2 }'
  done
}

MIRROR=$(debian_mirror | head -n 1)
[ -n "$MIRROR" ] || { echo "fresh-machine: no apt source names Debian $SUITE" >&2; exit 1; }

ROOT=$(mktemp -d /var/tmp/po-fresh-root.XXXXXX)
MOUNTS=()

# Ends every process still running inside the root, unmounts what was mounted (innermost
# first), and only then removes the root: never across a mount that is still there.
cleanup() {
  local rc=$? pid i
  for pid in /proc/[0-9]*; do
    [ "$(readlink "$pid/root" 2>/dev/null)" = "$ROOT" ] && kill -9 "${pid#/proc/}" 2>/dev/null
  done
  for ((i = ${#MOUNTS[@]} - 1; i >= 0; i--)); do
    umount -R "${MOUNTS[i]}" 2>/dev/null || umount -lR "${MOUNTS[i]}" 2>/dev/null || true
  done
  if grep -qF " $ROOT/" /proc/self/mounts; then
    echo "fresh-machine: $ROOT still has mounts; left in place" >&2
  else
    rm -rf --one-file-system "$ROOT"
  fi
  exit $rc
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

SECONDS=0
if [ -f "$TARBALL" ]; then
  po_stage "Unpacking the cached Debian $SUITE root ($TARBALL)"
  tar -xpf "$TARBALL" -C "$ROOT"
else
  po_install_packages debootstrap
  po_stage "Building a minimal Debian $SUITE root from $MIRROR (a few minutes)"
  debootstrap --variant=minbase "$SUITE" "$ROOT" "$MIRROR"
  mkdir -p "$CACHE_DIR"
  tar -cpf "$TARBALL.part" -C "$ROOT" . && mv "$TARBALL.part" "$TARBALL"
fi
echo "fresh-machine: root ready after ${SECONDS}s"

cp /etc/resolv.conf "$ROOT/etc/resolv.conf" 2>/dev/null || true
mount -t proc proc "$ROOT/proc" && MOUNTS+=("$ROOT/proc")
mount -t sysfs sysfs "$ROOT/sys" && MOUNTS+=("$ROOT/sys")
mount --rbind /dev "$ROOT/dev" && mount --make-rslave "$ROOT/dev" && MOUNTS+=("$ROOT/dev")

po_stage "Copying a clean clone of the committed tree"
git clone --quiet --no-hardlinks "$PO_ROOT" "$ROOT/root/pelmora-po"

# A login shell's environment only: nothing of this machine's session leaks in.
in_root() {
  chroot "$ROOT" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c "cd /root/pelmora-po && $1"
}

SECONDS=0
po_stage "Running ./test.sh in the fresh root"
in_root "PO_WERROR=ON ./test.sh"
echo "fresh-machine: ./test.sh passed in ${SECONDS}s"

po_stage "Running ./run.sh in the fresh root (no display)"
hint=$(in_root "./run.sh" 2>&1 | tail -n 1) && { echo "fresh-machine: ./run.sh started without a display" >&2; exit 1; }
echo "$hint"
start=$(sed -n 's/^No display found\. Start it under Xvfb: //p' <<<"$hint")
[ -n "$start" ] || { echo "fresh-machine: ./run.sh did not say how to start the program" >&2; exit 1; }
# The command it names must start the program and keep it running.
rc=0
in_root "timeout 15 $start" >/dev/null 2>&1 || rc=$?
[ $rc -eq 124 ] || { echo "fresh-machine: '$start' ended with $rc instead of running" >&2; exit 1; }

# The Debian package, made and checked as a user would, installed with its dependencies and
# started once from /usr/bin: its sheet must show.
po_stage "Making, installing and starting the Debian package in the fresh root"
deb=$(in_root "scripts/package.sh /root/pelmora-po-package" | tail -n 1)
in_root "apt-get install -y -qq $deb >/root/pelmora-po-package/install.log 2>&1 ||
         { tail -n 40 /root/pelmora-po-package/install.log; exit 1; }"
in_root "command -v pelmora-po | grep -qx /usr/bin/pelmora-po"
in_root "cd / && xvfb-run -a bash -c '
  QT_QPA_PLATFORM=xcb /usr/bin/pelmora-po >/root/pelmora-po-package/run.log 2>&1 & pid=\$!
  for i in \$(seq 150); do
    xdotool search --onlyvisible --name \"^The Purchase Order Form\$\" >/dev/null && break
    sleep 0.1
  done
  xdotool search --onlyvisible --name \"^The Purchase Order Form\$\" >/dev/null ||
    { echo \"fresh-machine: the installed program showed no sheet\" >&2
      cat /root/pelmora-po-package/run.log >&2; kill \$pid; exit 1; }
  kill -0 \$pid && kill \$pid'" || exit 1
echo "fresh-machine: the package installs and starts from /usr/bin"

# The desktop knows an order: its type by its name, and the program opens it (as a double-click
# in a file manager does, through xdg-open and the desktop entry's %f).
po_stage "Opening an order from the desktop in the fresh root"
in_root "cd / && xvfb-run -a bash /root/pelmora-po/tests/package/open_from_desktop.sh" || exit 1
echo "fresh-machine: 3 passed, 0 failed"
