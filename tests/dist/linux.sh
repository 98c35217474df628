#!/usr/bin/env bash
# The four Debian packages and the tarball: what each holds, lintian, and the
# manual pages (every subcommand of kalpo --help in kalpo(1), every export of
# kalpo.h with its section-3 page); then, all four installed into a throw-away
# root (dpkg-deb -x), a C program built with pkg-config alone, a CMake project
# built with find_package alone, `kalpo demo` and `kalpo replay`, the tool
# without the virtual printer, and no installed binary naming a folder
# outside itself in its run path.  As root, also apt install, remove and
# purge leaving nothing.  The tarball holds the same tree.
#   tests/dist/linux.sh DIST_FOLDER WORK_FOLDER
set -uo pipefail
. "$(dirname "$0")/common.sh"
dist=$1
work=$2
mkdir -p "$work"
arch=$(dpkg --print-architecture)
multiarch=$(gcc -print-multiarch)
lib=usr/lib/$multiarch
revision=$version-1
runtime_deb=$dist/libkalpo4_${revision}_$arch.deb
dev_deb=$dist/libkalpo-dev_${revision}_$arch.deb
deb=$dist/kalpo_${revision}_$arch.deb
virtual_deb=$dist/kalpo-virtual-printer_${revision}_$arch.deb
debs=("$runtime_deb" "$dev_deb" "$deb" "$virtual_deb")
tarball=$dist/kalpo-$version-linux-$(uname -m).tar.gz
makers=("${maker_names[@]}")

for file in "${debs[@]}" "$tarball"; do
  [ -f "$file" ] || {
    echo "  FAIL: $file is missing (make dist)"
    exit 1
  }
done

# ---- What each package holds ----
files_of() { dpkg-deb --fsys-tarfile "$1" | tar -t | sed -E 's|^\./||; s|/$||'; }
has_all "$(files_of "$runtime_deb")" "$lib/libkalpo.so.$version" "$lib/libkalpo.so.4" \
  usr/share/doc/libkalpo4/copyright usr/share/doc/libkalpo4/changelog.Debian.gz
dev_files=$(files_of "$dev_deb")
has_all "$dev_files" "$lib/libkalpo.so" usr/include/kalpo.h "$lib/pkgconfig/kalpo.pc" \
  "$lib/cmake/kalpo/kalpoConfig.cmake" "$lib/cmake/kalpo/kalpoConfigVersion.cmake" "$lib/cmake/kalpo/kalpoTargets.cmake" \
  usr/share/doc/libkalpo-dev/html/index.html usr/share/man/man3/KALPO_VendaItem.3.gz
kalpo_files=$(files_of "$deb")
has_all "$kalpo_files" usr/bin/kalpo usr/share/man/man1/kalpo.1.gz usr/lib/systemd/user/kalpo-serve.service \
  usr/share/doc/kalpo/README.md usr/share/doc/kalpo/changelog.gz usr/share/kalpo/examples/epson.kalpo \
  $(printf "$lib/kalpo/replay/lib%s.so " "${makers[@]}")
! grep -q virtual-printer <<<"$kalpo_files" || fail "the kalpo package holds virtual printer files"
virtual_files=$(files_of "$virtual_deb")
has_all "$virtual_files" $(printf "$lib/kalpo/virtual-printer/lib%s.so " "${makers[@]}")
strays=$(grep -E '\.so' <<<"$virtual_files" | grep -v "^$lib/kalpo/virtual-printer/lib[a-z0-9_]*\.so$")
[ -z "$strays" ] || fail "libraries outside the virtual printer's folder: $strays"
for pair in "libkalpo4 $runtime_deb" "libkalpo-dev $dev_deb" "kalpo $deb" "kalpo-virtual-printer $virtual_deb"; do
  set -- $pair
  fields="$(dpkg-deb -f "$2" Package Version Architecture | tr '\n' ' ')"
  [ "$fields" = "Package: $1 Version: $revision Architecture: $arch " ] || fail "$2: $fields"
done
! dpkg-deb -f "$runtime_deb" Depends | grep -q kalpo-maker-libraries || fail "libkalpo4 depends on a maker library"
for field in Provides Conflicts Replaces; do
  [ "$(dpkg-deb -f "$virtual_deb" $field)" = kalpo-maker-libraries ] || fail "kalpo-virtual-printer's $field"
done
[ "$(grep -c '^ KALPO_' <(dpkg-deb -I "$runtime_deb" symbols))" -eq 43 ] || fail "libkalpo4's symbols file"
# Each third-party component is where its list says, and named, with its
# licence, in the copyright file of the package that holds it.
tool_root=$work/tool-root
for file in "$deb" "$dev_deb"; do dpkg-deb -x "$file" "$tool_root"; done
while IFS='|' read -r name mark; do
  grep -aqF "$mark" "$tool_root/usr/bin/kalpo" || fail "kalpo does not hold $name: packaging/third_party.list is wrong"
  grep -qF "$name" "$tool_root/usr/share/doc/kalpo/copyright" || fail "kalpo's copyright does not name $name"
done < <("$source_dir/packaging/third_party.sh" marks tool)
while IFS='|' read -r name mark; do
  grep -raqF "$mark" "$tool_root/usr/share/doc/libkalpo-dev/html" || fail "the API reference does not hold $name"
  grep -qF "$name" "$tool_root/usr/share/doc/libkalpo-dev/copyright" || fail "libkalpo-dev's copyright does not name $name"
done < <("$source_dir/packaging/third_party.sh" marks reference)
echo "  checked: the contents of the four packages"

# ---- lintian, pedantic: nothing left but what the packages override ----
if command -v lintian >/dev/null; then
  # lintian refuses nothing as root, it only warns of it.
  findings=$(lintian --pedantic --tag-display-limit 0 "${debs[@]}" 2>&1 | grep -E '^[EWIP]:' | grep -v '^[IP]:')
  [ -z "$findings" ] || fail "lintian --pedantic: $findings"
  echo "  checked: lintian --pedantic, no error or warning"
else
  fail "lintian is missing (tools/install-deps.sh dist)"
fi

# ---- The manual pages: made from the help, one per export ----
manual=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/man/man1/kalpo.1.gz | gzip -d)
exports=$(sed -nE 's/^KALPO_API [^(]* KALPO_CALL (KALPO_[A-Za-z_0-9]+)\(.*/\1/p' "$source_dir/include/kalpo.h")
[ "$(wc -l <<<"$exports")" -eq 43 ] || fail "kalpo.h: $(wc -l <<<"$exports") exports found, 43 expected"
for name in $exports; do
  grep -qx "$lib/../../share/man/man3/$name.3.gz\|usr/share/man/man3/$name.3.gz" <<<"$dev_files" ||
    fail "no manual page for $name"
done
pages=$(grep -cE '/man3/[^/]+\.3\.gz$' <<<"$dev_files")
[ "$pages" -eq 43 ] || fail "$pages section-3 pages, 43 expected (the exports' only)"
dpkg-deb -x "$dev_deb" "$work/dev"
redirects=$(zgrep -l '^\.so ' "$work/dev/usr/share/man/man3/"*.3.gz)
[ -z "$redirects" ] || fail "section-3 pages that only redirect: $redirects"
echo "  checked: a section-3 manual page for each of the $(wc -l <<<"$exports") exports"

# ---- Installed into a throw-away root ----
root=$work/root
for file in "${debs[@]}"; do dpkg-deb -x "$file" "$root" || fail "dpkg-deb -x $file"; done
soname=$(readelf -d "$root/$lib/libkalpo.so.$version" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = libkalpo.so.4 ] || fail "soname: '$soname'"
# No maker library needed at load, no run path: libkalpo loads them itself.
! readelf -d "$root/$lib/libkalpo.so.$version" | grep -qE '\(NEEDED\).*\[lib(bemafi32|convecf|fs345_32|daruma32|ecf32m|dllg2|dllg2_gerador|interfaceepson)\.so\]|R(UN)?PATH' ||
  fail "libkalpo needs a maker library at load, or has a run path"
for maker in "${makers[@]}"; do
  name=$(readelf -d "$root/$lib/kalpo/virtual-printer/lib$maker.so" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
  [ "$name" = "lib$maker.so" ] || fail "lib$maker.so's soname: '$name'"
done

# Every run path entry is relative to the binary itself; every binary hardened.
while IFS= read -r binary; do
  readelf -h "$binary" >/dev/null 2>&1 || continue
  cmake -DBINARIES="$binary" -P "$source_dir/tests/dist/run_path_check.cmake" >/dev/null 2>&1 ||
    fail "${binary#$root/}: $(readelf -d "$binary" | grep -E 'R(UN)?PATH')"
  readelf -d "$binary" | grep -c 'BIND_NOW\|FLAGS_1.*NOW' >/dev/null || fail "${binary#$root/}: not linked with -z now"
  readelf -lW "$binary" | grep -c GNU_RELRO >/dev/null || fail "${binary#$root/}: no RELRO"
done < <(find "$root" -type f)
readelf -h "$root/usr/bin/kalpo" | grep -c 'DYN (' >/dev/null || fail "usr/bin/kalpo is not PIE"
[ "$(nm -D "$root/usr/bin/kalpo" | grep -c '__[a-z]*_chk')" -gt 0 ] || fail "usr/bin/kalpo: no fortified functions"
echo "  checked: run paths and hardening of every installed binary"

manual=$(gzip -dc "$root/usr/share/man/man1/kalpo.1.gz")
subcommands=$(fresh "$root/usr/bin/kalpo" --help | awk '/^Subcommands:/ { on = 1; next } on && /^  [a-z]/ { print $1 } on && /^$/ { exit }')
[ -n "$subcommands" ] || fail "kalpo --help lists no subcommand"
for sub in $subcommands; do
  grep -qF ".SS \"kalpo $sub\"" <<<"$manual" || fail "kalpo(1) lacks the subcommand $sub"
done
for word in --version --json 'EXIT STATUS'; do grep -qF -- "$(sed 's/-/\\-/g' <<<"$word")" <<<"$manual" || fail "kalpo(1) lacks $word"; done
echo "  checked: kalpo(1) holds every subcommand of kalpo --help: $(echo $subcommands)"

# The user unit, checked where the root has kalpo.
unit=$work/kalpo-serve.service
sed "s|^ExecStart=/usr/bin/kalpo|ExecStart=$root/usr/bin/kalpo|" "$root/usr/lib/systemd/user/kalpo-serve.service" >"$unit"
grep -qx 'Restart=on-failure' "$unit" || fail "kalpo-serve.service does not restart on failure"
expect "systemd-analyze verify kalpo-serve.service" env MANPATH="$root/usr/share/man" systemd-analyze verify "$unit"
exposure=$(systemd-analyze security --offline=true "$unit" 2>/dev/null | sed -n 's/.*Overall exposure level for [^:]*: \([0-9.]*\).*/\1/p')
awk -v e="$exposure" 'BEGIN { exit !(e != "" && e < 5) }' || fail "kalpo-serve.service's exposure: '$exposure' (below 5 expected)"

expect "kalpo --version names the loaded library's version" sh -c "'$root/usr/bin/kalpo' --version | grep -q 'KALPO_Versao: KALPO_DLL'"
# A trace of one sale, replayed with the replay libraries the package ships.
trace_home=$(mktemp -d "$work/trace.XXXXXX")
expect "a traced sale" env HOME="$trace_home" XDG_STATE_HOME="$trace_home/state" KALPO_SIM_DIR="$trace_home/sim" KALPO_DRIVE_C="$trace_home/c" \
  KALPO_TRACE="$trace_home/sale.jsonl" "$root/usr/bin/kalpo" --yes run "$source_dir/examples/bematechmp20.kalpo"
expect "kalpo replay from the root" fresh "$root/usr/bin/kalpo" replay "$trace_home/sale.jsonl"

# Without the virtual printer the tool still starts, and a call says what is missing.
bare=$work/bare
for file in "$runtime_deb" "$deb"; do dpkg-deb -x "$file" "$bare"; done
expect "kalpo --help without maker libraries" fresh "$bare/usr/bin/kalpo" --help
missing=$(fresh "$bare/usr/bin/kalpo" call LeituraX BEMATECHMP20 2>&1)
status=$?
[ "$status" -eq 1 ] && grep -q "lib${makers[0]}.so is missing" <<<"$missing" ||
  fail "kalpo call without maker libraries (exit $status): $missing"

# kalpo.pc names /usr: the root is pkg-config's sysroot.
export PKG_CONFIG_LIBDIR=$root/$lib/pkgconfig PKG_CONFIG_SYSROOT_DIR=$root
flags=$(pkg-config --cflags --libs kalpo) || fail "pkg-config --cflags --libs kalpo"
[ "$(pkg-config --modversion kalpo)" = "$version" ] || fail "pkg-config --modversion"
# shellcheck disable=SC2086 # the flags are words
expect "a C program built with pkg-config" cc -o "$work/sale" "$source_dir/tests/dist/sale.c" $flags
# Installed under /usr, libkalpo would be on the loader's path; in the throw-away root it is named.
expect "... sells a coupon" fresh env LD_LIBRARY_PATH="$root/$lib" "$work/sale"

expect "a CMake project built with find_package(kalpo)" \
  sh -c "cmake -S '$source_dir/tests/dist/consumer' -B '$work/consumer' -DCMAKE_PREFIX_PATH='$root/usr' &&
         cmake --build '$work/consumer'"
expect "... sells a coupon" fresh "$work/consumer/sale"
expect "kalpo demo from the root" fresh "$root/usr/bin/kalpo" demo

# ---- The tarball: the packages' tree under /usr ----
mkdir -p "$work/tarball"
tar -xzf "$tarball" -C "$work/tarball"
top=$work/tarball/$(basename "$tarball" .tar.gz)
# The packages' own documents (copyright, Debian changelog, lintian overrides)
# and the tarball's THIRD-PARTY.txt (the packages' copyright files say it) aside.
tree_of() {
  (cd "$1" && find . \( -type f -o -type l \) | grep -v '^\./share/\(doc\|doc-base\|lintian\)/' |
    grep -vx './THIRD-PARTY.txt' | sort)
}
[ -s "$top/THIRD-PARTY.txt" ] || fail "the tarball has no THIRD-PARTY.txt"
[ "$(tree_of "$root/usr")" = "$(tree_of "$top")" ] ||
  fail "the tarball's tree differs from the packages': $(diff <(tree_of "$root/usr") <(tree_of "$top") | head)"
expect "kalpo demo from the tarball" fresh "$top/bin/kalpo" demo --model EPSON

# ---- apt install, remove and purge (CI, as root: it changes the machine) ----
if [ "${CI:-}" = true ] && [ "$(id -u)" -eq 0 ]; then
  packages=(libkalpo4 libkalpo-dev kalpo kalpo-virtual-printer)
  apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=120 -y -q "$@" >"$work/apt.log" 2>&1 ||
    { tail -20 "$work/apt.log"; return 1; }; }
  expect "apt install of the four packages" apt_get install --no-install-recommends "${debs[@]}"
  expect "kalpo demo as installed" fresh kalpo demo --model EPSON
  expect "pkg-config finds kalpo as installed" pkg-config --exists kalpo
  installed=$(dpkg -L "${packages[@]}" 2>/dev/null | sort -u)
  expect "apt remove" apt_get remove "${packages[@]}"
  left=$(dpkg -l "${packages[@]}" 2>/dev/null | awk '/^[a-z][a-z] / && $1 != "un" { print $1, $2 }')
  [ -z "$left" ] || fail "after apt remove: $left"
  # Nothing is left to purge once apt remove took every file (apt purge would
  # not know the packages any more): dpkg --purge says so and succeeds.
  expect "purge after remove" dpkg --purge "${packages[@]}"
  while IFS= read -r path; do
    [ -n "$path" ] && [ ! -d "$path" ] && [ -e "$path" ] && fail "left after purge: $path"
  done <<<"$installed"
  [ ! -e "/$lib/kalpo" ] || fail "left after purge: /$lib/kalpo"
  echo "  checked: apt install, remove and purge"
fi
finish
