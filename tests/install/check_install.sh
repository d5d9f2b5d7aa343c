#!/usr/bin/env bash
# Installs the build into a throw-away prefix and checks the layout: the
# programs and Resources side by side, setup inside Resources, the PATH
# symlinks resolving to the real programs, the desktop file, metainfo and
# icons; the desktop file and metainfo are validated when the tools exist.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=$root/usr
cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
need() { # need TEST PATH
  if ! test "$1" "$2"; then
    echo "missing or wrong: $2" >&2
    fail=1
  fi
}
lib=$prefix/lib/zorvel
id=io.github.zorvel.Zorvel
for p in Zorvel setup zorvel-export zorvel-import rtftool Resources/setup; do
  need -x "$lib/$p"
done
for f in Export.inf Help.rtf cd.inf autorun.inf img.bin reader/index.html reader/fonts/OFL.txt; do
  need -f "$lib/Resources/$f"
done
# The Windows installer, when the cross compiler built one.
if [ -f "$build/src/setup/win32/setup.exe" ]; then
  need -f "$lib/Resources/setup.exe"
  cmp -s "$build/src/setup/win32/setup.exe" "$lib/Resources/setup.exe" ||
    { echo "Resources/setup.exe is not the one built" >&2; fail=1; }
fi
for f in bagh.txt nan.txt setareh.txt; do
  need -f "$lib/samples/$f"
done
for p in Zorvel zorvel-export zorvel-import; do
  need -L "$prefix/bin/$p"
  if [ "$(readlink -f "$prefix/bin/$p")" != "$(readlink -f "$lib/$p")" ]; then
    echo "$prefix/bin/$p does not lead to $lib/$p" >&2
    fail=1
  fi
done
desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
need -f "$desktop"
need -f "$metainfo"
for s in 16 24 32 48 64 128; do
  need -s "$prefix/share/icons/hicolor/${s}x${s}/apps/$id.png"
done
need -f "$prefix/share/doc/zorvel/copyright"
for page in Zorvel zorvel-export zorvel-import; do
  need -f "$prefix/share/man/man1/$page.1.gz"
done
need -s "$prefix/share/doc/zorvel/changelog.gz"

if [ -f "$desktop" ]; then
  grep -q '^Name\[fa\]=' "$desktop" || { echo "no Persian name in $desktop" >&2; fail=1; }
  grep -q '^Categories=.*Office;' "$desktop" || { echo "not in Office: $desktop" >&2; fail=1; }
  exec_cmd=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  need -x "$prefix/bin/$exec_cmd"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail=1
  fi
fi
if [ -f "$metainfo" ] && command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" || fail=1
fi
exit $fail
