#!/usr/bin/env bash
# The installed program and the Debian package, checked as a user meets them.
#   install_test.sh layout  BUILD SOURCE   cmake --install into a scratch prefix
#   install_test.sh package BUILD SOURCE   make the .deb, unpack it with dpkg -x
# Both run the installed program (--version and a batch conversion) from a
# folder outside the build and source trees.
set -euo pipefail
what=$1 build=$2 source=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The program under root/usr as it would run from the menu: --version, then
# a conversion of a sample drawing in a folder of its own.
run_installed() {
  local root=$1 bin=$1/usr/bin/planox
  [ -x "$bin" ] || fail "no program at $bin"
  local version
  version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$bin" --version)
  [ "$version" = "PLANOX 8.3" ] || fail "--version printed '$version'"
  local work=$scratch/work
  mkdir -p "$work"
  cp "$source/samples/floorplan.dxf" "$work/"
  (cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY TEMP="$work" "$bin" floorplan.dxf /CPS) \
    || fail "the batch conversion ended with $?"
  head -c 40 "$work/floorplan.ps" | grep -a -q '%!PostScript' || fail "no PostScript written"
  grep -q showpage "$work/floorplan.ps" || fail "PostScript without its page end"
  # The shape font is found beside the program, not in the folder it runs in.
  [ -f "$root/usr/share/planox/TXT.SHP" ] || fail "no shape font in share/planox"
  rm -rf "$work"
}

case $what in
layout)
  prefix=$scratch/usr
  cmake --install "$build" --prefix "$prefix" >/dev/null
  for f in bin/planox share/planox/TXT.SHP share/planox/help/planox.hlp share/applications/planox.desktop \
           share/mime/packages/planox.xml share/icons/hicolor/scalable/apps/planox.svg \
           share/man/man1/planox.1; do
    [ -f "$prefix/$f" ] || fail "$f is not installed"
  done
  desktop-file-validate "$prefix/share/applications/planox.desktop"
  xmllint --noout "$prefix/share/mime/packages/planox.xml"
  xmllint --noout "$prefix/share/icons/hicolor/scalable/apps/planox.svg"
  # The file types as the desktop's MIME database sees them.
  update-mime-database "$prefix/share/mime" >/dev/null 2>&1
  for glob in 'image/vnd.dxf:\*.dxf' 'application/vnd.hp-hpgl:\*.plt' 'application/vnd.hp-hpgl:\*.pl2' \
              'application/vnd.hp-hpgl:\*.hpg' 'application/vnd.hp-hpgl:\*.hpl' 'application/vnd.hp-hpgl:\*.hgl'; do
    grep -q ":$glob\$" "$prefix/share/mime/globs2" || fail "the MIME database lacks $glob"
  done
  # Every type the menu entry claims is one the MIME file defines.
  types=$(sed -n 's/^MimeType=//p' "$prefix/share/applications/planox.desktop" | tr ';' ' ')
  for t in $types; do
    grep -q "^$t\$" "$prefix/share/mime/types" || fail "the entry claims $t, which the MIME file lacks"
  done
  # The man page formats without a warning.
  warnings=$(groff -man -Tutf8 -ww -z "$prefix/share/man/man1/planox.1" 2>&1)
  [ -z "$warnings" ] || fail "man page: $warnings"
  run_installed "$scratch"
  ;;
package)
  cmake --build "$build" --target package >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; fail "cpack"; }
  debs=("$build"/planox_*.deb)
  deb=${debs[0]}
  [ -f "$deb" ] || fail "no package"
  depends=$(dpkg-deb -f "$deb" Depends)
  for lib in libc6 libqt6widgets6; do
    echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
  done
  [ "$(dpkg-deb -f "$deb" Package)" = planox ] || fail "package name"
  contents=$(dpkg-deb -c "$deb")
  for f in usr/bin/planox usr/share/planox/TXT.SHP usr/share/planox/help/planox.hlp \
           usr/share/applications/planox.desktop usr/share/mime/packages/planox.xml; do
    grep -q "\./$f\$" <<<"$contents" || fail "$f is not in the package"
  done
  dpkg -x "$deb" "$scratch"
  run_installed "$scratch"
  ;;
*) fail "unknown check $what" ;;
esac
echo "ok: $what"
