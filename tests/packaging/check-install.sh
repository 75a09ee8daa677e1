#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a desktop reads from it: the desktop
# entries, the quiz file type (and that a quiz opens in ExamoMe by default), the metainfo,
# the icons, the manual pages and the programs' own modules.
#
#   check-install.sh BUILD_DIR
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=$root/usr
cmake --install "$build" --prefix "$prefix" > /dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }

for entry in "$prefix"/share/applications/*.desktop; do
  desktop-file-validate "$entry" || fail "$entry"
done
[ -f "$prefix/share/applications/examome.desktop" ] || fail "no examome.desktop"
[ -f "$prefix/share/applications/examoforge.desktop" ] || fail "no examoforge.desktop"

appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml || fail "metainfo"
[ "$(ls "$prefix"/share/metainfo/*.metainfo.xml | wc -l)" -eq 2 ] || fail "two metainfo files"

update-mime-database "$prefix/share/mime" || fail "MIME package"
update-desktop-database "$prefix/share/applications" || fail "desktop database"
grep -q 'pattern="\*.exm"' "$prefix/share/mime/application/x-examome.xml" || fail "*.exm glob"
grep -q '<comment>ExamoMe File</comment>' "$prefix/share/mime/application/x-examome.xml" ||
  fail "type description"
cp "$(dirname "$0")/../../samples/sample.exm" "$root/quiz.exm"
desk() { env -i PATH=/usr/bin:/bin HOME="$root/home" XDG_DATA_DIRS="$prefix/share:/usr/share" "$@"; }
[ "$(desk xdg-mime query filetype "$root/quiz.exm")" = application/x-examome ] || fail "type of a quiz"
[ "$(desk xdg-mime query default application/x-examome)" = examome.desktop ] ||
  fail "a quiz is not opened by ExamoMe"

for icon in examome examoforge; do
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "$icon.svg"
  for size in 16 22 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png
    file "$png" | grep -q "PNG image data, $size x $size" || fail "$png"
  done
done

for page in ExamoMe ExamoForge; do
  warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 > /dev/null)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
done

for program in ExamoMe ExamoForge; do
  runpath=$(readelf -d "$prefix/bin/$program" | sed -n 's/.*runpath: \[\(.*\)\]/\1/p')
  modules=${runpath//\$ORIGIN/$prefix/bin}
  for module in gstreamer ffmpeg magick; do
    [ -f "$modules/libexamo_$module.so" ] || fail "$program finds no $module module in $runpath"
  done
done
echo "install under $prefix: all checks passed"
