#!/usr/bin/env bash
# Builds the Debian package from the build and lists what it holds: both programs, their
# desktop entries, the MIME type, the icons, the metainfo and the manual pages. Lintian must
# find no error in it.
#
#   check-deb.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" > /dev/null
deb=$(ls "$out"/examome_*.deb)
echo "$(basename "$deb"):"
contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
echo "$contents" | grep -v '/$'

fail() { echo "FAIL: $*" >&2; exit 1; }
for path in /usr/bin/ExamoMe /usr/bin/ExamoForge \
  /usr/share/applications/examome.desktop /usr/share/applications/examoforge.desktop \
  /usr/share/mime/packages/examome.xml \
  /usr/share/metainfo/org.examo.ExamoMe.metainfo.xml \
  /usr/share/metainfo/org.examo.ExamoForge.metainfo.xml \
  /usr/share/man/man1/ExamoMe.1.gz /usr/share/man/man1/ExamoForge.1.gz \
  /usr/share/icons/hicolor/scalable/apps/examome.svg \
  /usr/share/icons/hicolor/256x256/apps/examoforge.png \
  /usr/lib/examo/modules/libexamo_gstreamer.so /usr/share/doc/examome/copyright; do
  echo "$contents" | grep -qx "$path" || fail "the package has no $path"
done
[ "$(echo "$contents" | grep -c '^/usr/share/icons/hicolor/.*\.png$')" -eq 16 ] || fail "PNG icons"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libgstreamer1.0-0 gstreamer1.0-plugins-good qt6-qpa-plugins; do
  [[ $depends == *"$package"* ]] || fail "no dependency on $package"
done
if command -v lintian > /dev/null; then
  lintian --fail-on error "$deb" ||
    fail "lintian"
fi
echo "package checks passed"
