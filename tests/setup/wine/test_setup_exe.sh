#!/usr/bin/env bash
# setup.exe under Wine, in a virtual X server: the wizard's window and its
# caption, a keyboard walk that installs an exported CD (mapped as drive D:)
# into a folder of Wine's C: drive chosen in the folder picker, the files
# byte for byte, the marker in %LOCALAPPDATA%\zorvel-setup, the start of the
# Run File (a stand-in browser registered for .html records what it was
# given), the quick start of a second run, the rollback of an installation
# onto a full disk, the refusal of a hostile cd.inf, and the DLLs setup.exe
# imports.
#
#   test_setup_exe.sh SETUP_EXE STANDIN_EXE EXPORT_FOLDER WORK_FOLDER
#
# Exits 77 (skipped) when setup.exe was not built or Wine, Xvfb or xdotool
# is missing. The Wine prefix is kept in WORK_FOLDER/prefix between runs.
set -uo pipefail

skip() {
  echo "SKIPPED: $*"
  exit 77
}

if [ "${1:-}" != --inner ]; then
  setup_exe=${1:-}
  [ -n "$setup_exe" ] && [ -f "$setup_exe" ] ||
    skip "setup.exe was not built (x86_64-w64-mingw32-g++-posix is not installed)"
  wine=$(command -v wine64 || true)
  [ -n "$wine" ] || [ ! -x /usr/lib/wine/wine64 ] || wine=/usr/lib/wine/wine64
  [ -n "$wine" ] || skip "wine64 is not installed"
  command -v xvfb-run >/dev/null || skip "xvfb-run is not installed"
  command -v xdotool >/dev/null || skip "xdotool is not installed"
  export ZORVEL_WINE=$wine
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inner "$@"
fi
shift
# Wine wants its prefix as a full path.
setup_exe=$(realpath -m "$1") standin_exe=$(realpath -m "$2")
export_folder=$(realpath -m "$3") work=$(realpath -m "$4")

wine=$ZORVEL_WINE
wineserver=$(command -v wineserver || true)
for candidate in /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver; do
  [ -n "$wineserver" ] || [ ! -x "$candidate" ] || wineserver=$candidate
done
objdump=$(command -v x86_64-w64-mingw32-objdump || command -v objdump || true)

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$work"
failures=0
pass() { echo "ok - $*"; }
fail() {
  echo "not ok - $*"
  failures=$((failures + 1))
}
shoot() { # a screenshot when SETUP_SCREENSHOTS names a folder
  [ -n "${SETUP_SCREENSHOTS:-}" ] && command -v import >/dev/null &&
    mkdir -p "$SETUP_SCREENSHOTS" && import -window root "$SETUP_SCREENSHOTS/$1.png"
}
# The id of the first window whose name matches, within $2 seconds.
wait_window() {
  local i id
  for ((i = 0; i < $2 * 4; i++)); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.25
  done
  return 1
}
# True when process $1 ends within $2 seconds.
wait_exit() {
  local i
  for ((i = 0; i < $2 * 4; i++)); do
    kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null; return 0; }
    sleep 0.25
  done
  return 1
}
stop() { kill "$1" 2>/dev/null; wait "$1" 2>/dev/null; }
keys() { # keys, each pressed with a pause for the window to follow
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.4
  done
}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "# making the Wine prefix $WINEPREFIX"
  timeout 300 "$wine" wineboot -i >/dev/null 2>&1 || { echo "wineboot failed"; exit 1; }
fi
[ -n "$wineserver" ] && "$wineserver" -p 2>/dev/null
drive_c=$WINEPREFIX/drive_c
local_app_data="$drive_c/users/$(id -un)/AppData/Local"
marker_folder="$local_app_data/zorvel-setup"
log="$drive_c/standin-browser.log"

# The stand-in browser opens .html and .htm files.
mkdir -p "$drive_c/standin"
cp "$standin_exe" "$drive_c/standin/standin_browser.exe"
for kind in .html .htm; do
  "$wine" reg add "HKLM\\Software\\Classes\\$kind" /ve /d zorvel.standin /f >/dev/null 2>&1
done
"$wine" reg add 'HKLM\Software\Classes\zorvel.standin\shell\open\command' /ve \
  /d '"C:\standin\standin_browser.exe" "%1"' /f >/dev/null 2>&1

# The CD: the export, read-only as a CD is, as D:. The export carries the
# setup.exe of this build.
cd_folder=$work/cd
chmod -R u+w "$cd_folder" 2>/dev/null
rm -rf "$cd_folder"
mkdir -p "$cd_folder"
cp -r "$export_folder"/. "$cd_folder"/
chmod -R a-w "$cd_folder"
if cmp -s "$setup_exe" "$cd_folder/setup.exe"; then
  pass "the export put this build's setup.exe on the CD"
else
  fail "the export's setup.exe is not the one built"
fi
if grep -q '^open=setup.exe' "$cd_folder/autorun.inf" 2>/dev/null; then
  pass "the export put autorun.inf on the CD: $(tr -d '\r' <"$cd_folder/autorun.inf" | tr '\n' ' ')"
else
  fail "no autorun.inf starting setup.exe on the CD"
fi
ln -sfn "$cd_folder" "$WINEPREFIX/dosdevices/d:"
cd_name=$(sed -n '2p' "$cd_folder/cd.inf" | tr -d '\r')
caption="^$cd_name Installer\$"

reset_disk() {
  rm -rf "$drive_c/zorvel-target" "$drive_c/Program Files/$cd_name" "$marker_folder" "$log" \
    "$drive_c/escaped"
  mkdir -p "$drive_c/zorvel-target"
}

# 1. The keyboard walk: Next, the folder picker (up to C:\, into the last
# folder there, Use this folder), Install.
reset_disk
"$wine" 'D:\setup.exe' >/dev/null 2>&1 &
pid=$!
if wait_window "$caption" 60 >/dev/null; then
  pass "the wizard's window appears with the caption \"$cd_name Installer\""
else
  fail "no window captioned \"$cd_name Installer\""
fi
sleep 1 # the window takes the keyboard once it is shown
shoot page0
keys Return
shoot page1
keys alt+f
if wait_window '^Select folder$' 10 >/dev/null; then
  pass "Alt+F opens the folder picker \"Select folder\""
else
  fail "the folder picker did not open"
fi
shoot picker
keys Up Return End Return alt+u
shoot page1-chosen
keys alt+n
if wait_exit "$pid" 60; then
  pass "setup ends after the installation"
else
  fail "setup is still running after the installation"
  shoot stuck
  stop "$pid"
fi
installed="$drive_c/zorvel-target/$cd_name"
if [ -d "$installed" ]; then
  pass "installed into C:\\zorvel-target\\$cd_name, the folder chosen in the picker"
  differences=$(diff -r "$cd_folder/Data" "$installed" 2>&1 | grep -v "^Only in $installed: zorvel-setup.stamp$")
  if [ -z "$differences" ]; then
    pass "the installed files are byte for byte those of the CD ($(find "$installed" -type f | wc -l) files with the stamp)"
  else
    fail "the installed files differ from the CD's: $differences"
  fi
else
  fail "nothing was installed into C:\\zorvel-target"
fi
program="C:\\zorvel-target\\$cd_name\\reader\\index.html"
expected_marker=$(printf '%s\r\n%s\r\n' "$program" "C:\\zorvel-target\\$cd_name")
if [ "$(cat "$marker_folder/$cd_name.txt" 2>/dev/null)" = "$expected_marker" ]; then
  pass "the marker is %LOCALAPPDATA%\\zorvel-setup\\$cd_name.txt and names the installed reader"
else
  fail "marker missing or wrong in $marker_folder: $(cat "$marker_folder/$cd_name.txt" 2>&1)"
fi
if cmp -s "$marker_folder/$cd_name.txt" "$installed/zorvel-setup.stamp"; then
  pass "the stamp in the installation folder matches the marker"
else
  fail "no matching stamp in the installation folder"
fi
if grep -qF "\"$program\"" "$log" 2>/dev/null; then
  pass "the Run File was opened through its association: $(head -1 "$log" | tr -d '\r')"
else
  fail "the stand-in browser was not started with $program ($(cat "$log" 2>&1))"
fi

# 2. Started again: the installed reader opens at once, nothing is copied.
touch -d '2000-01-01' "$installed/reader/index.html"
"$wine" 'D:\setup.exe' >/dev/null 2>&1 &
pid=$!
if wait_exit "$pid" 30 && [ "$(grep -cF "\"$program\"" "$log")" = 2 ]; then
  pass "a second start opens the installed reader at once and ends"
else
  fail "a second start did not open the installed reader ($(cat "$log" 2>&1))"
  stop "$pid"
fi
if [ "$(stat -c %Y "$installed/reader/index.html")" = "$(date -d '2000-01-01' +%s)" ]; then
  pass "the second start copied nothing"
else
  fail "the second start copied the files again"
fi

# 3. A full disk (no file may grow past 16 KiB) during the installation into
# the default folder: an error box, then nothing left behind.
reset_disk
(
  trap '' XFSZ
  ulimit -f 16
  exec "$wine" 'D:\setup.exe' >/dev/null 2>&1
) &
pid=$!
wait_window "$caption" 60 >/dev/null
sleep 1
keys Return Return
if wait_window '^Error!$' 60 >/dev/null; then
  pass "a full disk shows the error box \"Error!\""
else
  fail "no error box for a full disk"
fi
shoot full-disk
keys Return
shoot full-disk-after
if [ ! -e "$drive_c/Program Files/$cd_name" ]; then
  pass "the installation folder made for the failed installation was removed"
else
  fail "the failed installation left $(find "$drive_c/Program Files/$cd_name" | wc -l) entries"
fi
if [ ! -e "$marker_folder/$cd_name.txt" ] && [ ! -e "$log" ]; then
  pass "a failed installation writes no marker and starts nothing"
else
  fail "a failed installation wrote a marker or started the reader"
fi
keys alt+x
wait_exit "$pid" 20 && pass "Exit ends setup after the failure" || { fail "Exit did not end setup"; stop "$pid"; }

# 4. A hostile cd.inf: a CD Name that climbs out of the destination.
reset_disk
chmod -R u+w "$cd_folder"
printf '[ CD Name ]\r\n..\\..\\escaped\r\n[ Def Path ]\r\nC:\\zorvel-target\\a\\b\r\n[ Folder Name ]\r\nData\r\n[ Run File ]\r\nreader\\index.html\r\n' >"$cd_folder/cd.inf"
chmod -R a-w "$cd_folder"
"$wine" 'D:\setup.exe' >/dev/null 2>&1 &
pid=$!
if wait_window '^Error!$' 60 >/dev/null; then
  pass "a hostile cd.inf is refused with the error box"
else
  fail "no error box for a hostile cd.inf"
fi
shoot hostile
if xdotool search --onlyvisible --name 'Installer$' >/dev/null 2>&1; then
  fail "the wizard opened for a hostile cd.inf"
fi
keys Return
wait_exit "$pid" 20 && pass "setup ends after refusing it" || { fail "setup did not end"; stop "$pid"; }
if [ -z "$(find "$drive_c/zorvel-target" -mindepth 1)" ] && [ ! -e "$drive_c/escaped" ] &&
  [ ! -e "$marker_folder" ] && [ ! -e "$log" ]; then
  pass "the hostile cd.inf wrote nothing"
else
  fail "the hostile cd.inf left files behind"
fi

# 5. Only Windows' own DLLs.
if [ -n "$objdump" ]; then
  dlls=$("$objdump" -p "$setup_exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
  foreign=""
  for dll in $dlls; do
    case $dll in
      kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | shell32.dll | ole32.dll | \
        advapi32.dll | msvcrt.dll | comdlg32.dll | shlwapi.dll | uxtheme.dll) ;;
      *) foreign="$foreign $dll" ;;
    esac
  done
  if [ -n "$dlls" ] && [ -z "$foreign" ]; then
    pass "setup.exe imports only Windows DLLs: $dlls"
  else
    fail "setup.exe imports DLLs that Windows does not have:$foreign"
  fi
else
  fail "no objdump to read setup.exe's imports"
fi

chmod -R u+w "$cd_folder"
[ -n "$wineserver" ] && "$wineserver" -k 2>/dev/null
echo "# $failures failed"
[ "$failures" -eq 0 ]
