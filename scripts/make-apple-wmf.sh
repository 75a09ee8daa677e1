#!/usr/bin/env bash
# Writes tests/platform_linux/data/apple.wmf: a red ellipse with "Apple" in it, drawn in
# LibreOffice Draw and exported as a Windows metafile, the usual way to make one on Linux. Run
# once by hand; the tests read the committed file. Needs LibreOffice Draw (Debian
# libreoffice-draw-nogui), which the build and the tests do not.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A 6 by 4 cm page holding a 5 by 3 cm ellipse, its text centred in 24 point Liberation Sans.
cat >"$work/apple.fodg" <<'FODG'
<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.graphics">
 <office:styles/>
 <office:automatic-styles>
  <style:page-layout style:name="PM1">
   <style:page-layout-properties fo:margin-top="0cm" fo:margin-bottom="0cm" fo:margin-left="0cm"
    fo:margin-right="0cm" fo:page-width="6cm" fo:page-height="4cm" style:print-orientation="landscape"/>
  </style:page-layout>
  <style:style style:name="dp1" style:family="drawing-page">
   <style:drawing-page-properties draw:background-size="border" draw:fill="none"/>
  </style:style>
  <style:style style:name="gr1" style:family="graphic">
   <style:graphic-properties draw:fill="solid" draw:fill-color="#ff0000" draw:stroke="solid"
    svg:stroke-color="#000000" draw:textarea-horizontal-align="center"
    draw:textarea-vertical-align="middle"/>
   <style:text-properties fo:font-family="'Liberation Sans'" fo:font-size="24pt" fo:color="#000000"/>
  </style:style>
 </office:automatic-styles>
 <office:master-styles>
  <style:master-page style:name="Default" style:page-layout-name="PM1" draw:style-name="dp1"/>
 </office:master-styles>
 <office:body>
  <office:drawing>
   <draw:page draw:name="page1" draw:master-page-name="Default">
    <draw:ellipse draw:style-name="gr1" svg:x="0.5cm" svg:y="0.5cm" svg:width="5cm"
     svg:height="3cm"><text:p>Apple</text:p></draw:ellipse>
   </draw:page>
  </office:drawing>
 </office:body>
</office:document>
FODG

# A profile of its own, so that the user's LibreOffice settings play no part.
HOME="$work" soffice --headless "-env:UserInstallation=file://$work/profile" \
    --convert-to wmf --outdir "$work" "$work/apple.fodg" >/dev/null
cp "$work/apple.wmf" "$here/tests/platform_linux/data/apple.wmf"
