#!/usr/bin/env bash
# Builds the Debian package in the build tree, checks what it holds and runs
# lintian on it; then, where this user may install packages (root, or sudo
# without a password) and no moltrix package is installed already, installs
# it, tries the installed programs (the catalogue, a blank check on the
# simulated bench, the window on the bench under Xvfb opening its manual),
# removes it and checks that nothing of it is left.
#   scripts/package-check.sh [BUILD_DIR]      default build
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target moltrix moltrix-cli moltrix_packaging
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/moltrix_*_*.deb | head -n 1)
echo "package-check: $deb"

fail() { echo "package-check: FAIL: $*" >&2; exit 1; }

# What it holds.
contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
for path in /usr/bin/moltrix /usr/bin/moltrix-cli /usr/share/moltrix/moltrix5.hlp \
            /usr/share/moltrix/init.wav /usr/share/moltrix/error.wav /usr/share/moltrix/done.wav \
            /usr/share/moltrix/slide.wav /usr/share/moltrix/ok.wav /usr/share/applications/moltrix.desktop \
            /usr/share/icons/hicolor/scalable/apps/moltrix.svg /usr/share/man/man1/moltrix.1.gz \
            /usr/share/man/man1/moltrix-cli.1.gz /usr/lib/udev/rules.d/70-moltrix-parport.rules \
            /usr/lib/modules-load.d/moltrix.conf /usr/share/doc/moltrix/copyright /usr/share/doc/moltrix/changelog.gz; do
  grep -qx "$path" <<<"$contents" || fail "the package lacks $path"
done
[ "$(dpkg-deb -f "$deb" Section)" = electronics ] || fail "section is not electronics"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "no computed dependency on Qt"

# lintian: no error (it warns when run as root, which CI is).
lintian --allow-root --fail-on error "$deb"

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if sudo -n true 2>/dev/null; then SUDO="sudo"; else
    echo "package-check: not root and no password-less sudo: the package is not installed here"; exit 0
  fi
fi
if dpkg-query -W -f='${Status}' moltrix 2>/dev/null | grep -q 'install ok installed'; then
  echo "package-check: a moltrix package is installed already: it is left alone, this one is not tried"; exit 0
fi

$SUDO dpkg -i "$deb"
work=$(mktemp -d "${TMPDIR:-/tmp}/moltrix-package.XXXXXX")
MX_WORK=$work
# shellcheck source=../tests/e2e/window_driver.sh
source tests/e2e/window_driver.sh
removed=""
finish() {
  mx_cleanup
  rm -rf "$work"
  [ -n "$removed" ] || $SUDO dpkg -r moltrix >/dev/null || true
}
trap finish EXIT

[ "$(command -v moltrix-cli)" = /usr/bin/moltrix-cli ] || fail "moltrix-cli is not the installed one"
listed=$(cd "$work" && moltrix-cli list) || fail "moltrix-cli list ended with an error"
grep -q "27C256" <<<"$listed" || fail "moltrix-cli list shows no 27C256"
blank=$(cd "$work" && XDG_CONFIG_HOME="$work/config" moltrix-cli --simulate '6@378:27C256' --device 27C256 blank) \
  || fail "the blank check on the bench ended with an error"
grep -q "Device IS BLANK (ERASED)" <<<"$blank" || fail "the blank check on the bench: $blank"


# The window on the bench: it finds its manual (and with it its sounds) in /usr/share/moltrix.
MX_PROGRAM=/usr/bin/moltrix
MX_LIMIT=$((SECONDS + 90))
mx_display 1280x1024
mx_start "6@378:27C256"
mx_wait 10 "the Help menu open" mx_opens 1 alt+h
mx_keys c
mx_wait 10 "the manual shown" mx_dialog_shown "MOLTRIX Help"
mx_exit
mx_cleanup

$SUDO dpkg -r moltrix
removed=yes
dpkg-query -W -f='${Status}' moltrix 2>/dev/null | grep -q 'installed' && fail "dpkg still lists moltrix"
while read -r path; do
  [ -z "$path" ] || [ "${path%/}" != "$path" ] && continue  # folders are shared
  [ ! -e "$path" ] || fail "$path is left after dpkg -r"
done <<<"$contents"
echo "package-check: installed, tried and removed cleanly"
