#!/usr/bin/env bash
# The installer, silently under Wine, as a store's technician uses it: into a
# folder holding the store's own files (refused, then with /FORCE), again
# without the virtual printer and kalpo serve, then uninstalled: the store's
# files untouched, no virtual printer DLL left, no KALPO value left in the
# registry.  Each scope: /CURRENTUSER and /ALLUSERS.
#   installer_check.sh SETUP_EXE   (WINEPREFIX set to a prefix of its own)
set -uo pipefail
setup=$1
failed=0
fail() {
  echo "  FAIL: $*"
  failed=1
}
registry() {
  for key in 'HKCU\Environment' 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
    'HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'; do
    wine reg query "$key" /s 2>/dev/null
  done
}
for scope in CURRENTUSER ALLUSERS; do
  pos=$WINEPREFIX/drive_c/POS-$scope
  mkdir -p "$pos/bin"
  echo store >"$pos/store.exe"
  echo manual >"$pos/README.txt"
  echo maker >"$pos/bin/BEMAFI32.DLL"
  before=$(cd "$pos" && find . -type f -exec md5sum {} + | sort)
  wine "$setup" /S /$scope /VIRTUAL /SERVE "/D=C:\\POS-$scope"
  status=$?
  wineserver -w
  [ "$status" -ne 0 ] && [ ! -e "$pos/bin/kalpo.exe" ] || fail "$scope: a folder of the store's files was not refused (exit $status)"
  wine "$setup" /S /$scope /VIRTUAL /SERVE /FORCE "/D=C:\\POS-$scope" && wineserver -w || fail "$scope: /FORCE install"
  [ -f "$pos/bin/virtual-printer/BEMAFI32.DLL" ] || fail "$scope: no virtual printer installed"
  registry | grep -q 'KALPO serve' || fail "$scope: no logon entry"
  wine "$setup" /S /$scope /FORCE "/D=C:\\POS-$scope" && wineserver -w || fail "$scope: the second run"
  [ ! -e "$pos/bin/virtual-printer" ] || fail "$scope: the virtual printer stays after a run without it"
  ! registry | grep -q 'KALPO serve' || fail "$scope: the logon entry stays after a run without it"
  [ -f "$pos/bin/kalpo.exe" ] || fail "$scope: the second run removed kalpo.exe"
  wine "$pos/uninstall.exe" /S "/$scope" && wineserver -w || fail "$scope: uninstall.exe /S"
  sleep 1  # the uninstaller runs on from a copy of itself
  wineserver -w
  after=$(cd "$pos" && find . -type f -exec md5sum {} + | sort)
  [ "$before" = "$after" ] || fail "$scope: the store's files changed: $(diff <(echo "$before") <(echo "$after"))"
  ! registry | grep -qi 'KALPO' || fail "$scope: the registry keeps KALPO: $(registry | grep -i kalpo)"
  [ -z "$(find "$WINEPREFIX/drive_c" -name 'KALPO panel.url')" ] || fail "$scope: the Start-menu entry is left"
done
[ "$failed" = 0 ] && echo "  checked: the installer in a store's folder, re-run without components, uninstalled (both scopes)"
exit "$failed"
