#!/usr/bin/env bash
# files.nsh for the installer: of the zip's tree, the install and removal of
# each file by name (KALPO_FILE, KALPO_REMOVE: installer.nsi), the kalpo component's and the virtual printer's
# (virtual-printer\ of the tree, installed in bin\virtual-printer\), each
# folder removed afterwards only when empty.
#   installer_files.sh TREE > files.nsh
set -euo pipefail
tree=$1
win() { tr / '\\' <<<"$1"; }
emit() {  # macro name, removal macro name, find arguments (relative paths), target prefix
  local install=$1 remove=$2 prefix=$3
  shift 3
  local files dirs
  files=$(cd "$tree" && find "$@" -type f | LC_ALL=C sort)
  echo "!macro $install"
  local last=
  while IFS= read -r f; do
    [ -n "$f" ] || continue
    local target=$prefix${f#virtual-printer}
    local dir
    dir=$(dirname "$target")
    if [ "$dir" != "$last" ]; then
      if [ "$dir" = . ]; then echo "  SetOutPath \"\$INSTDIR\""; else echo "  SetOutPath \"\$INSTDIR\\$(win "$dir")\""; fi
      last=$dir
    fi
    echo "  !insertmacro KALPO_FILE \"$(win "$target")\" \"$(win "$tree/$f")\""
  done <<<"$files"
  echo "  SetOutPath \"\$INSTDIR\""
  echo "!macroend"
  echo "!macro $remove"
  while IFS= read -r f; do
    [ -n "$f" ] || continue
    echo "  !insertmacro KALPO_REMOVE \"$(win "$prefix${f#virtual-printer}")\""
  done <<<"$files"
  dirs=$(while IFS= read -r f; do
    [ -n "$f" ] || continue
    d=$(dirname "$prefix${f#virtual-printer}")
    while [ "$d" != . ]; do echo "$d"; d=$(dirname "$d"); done
  done <<<"$files" | LC_ALL=C sort -u -r)
  while IFS= read -r d; do
    [ -n "$d" ] && echo "  RMDir \"\$INSTDIR\\$(win "$d")\""
  done <<<"$dirs"
  echo "!macroend"
}
emit KALPO_INSTALL_FILES KALPO_REMOVE_FILES "" $(cd "$tree" && ls | grep -vx virtual-printer)
emit KALPO_INSTALL_VIRTUAL_FILES KALPO_REMOVE_VIRTUAL_FILES "bin/virtual-printer" virtual-printer
