#!/bin/sh
# Converts places.txt (latitude and longitude, WGS84) to NZ Map Grid
# (EPSG:27200) with PROJ's cs2cs and writes places.inc for the generator.
# Needs Debian's proj-bin. Run by hand after editing places.txt; the output is committed.
set -eu
cd "$(dirname "$0")"
{
  echo "// Made by make-places.sh from places.txt: NZ places in NZ Map Grid (EPSG:27200)."
  grep -v '^#' places.txt | while IFS='|' read -r name district region lat lon site; do
    if [ "$lat" = 0 ] && [ "$lon" = 0 ]; then
      e=0; n=0
    else
      set -- $(echo "$lat $lon" | cs2cs -f "%.0f" EPSG:4326 EPSG:27200)
      e=$1; n=$2
    fi
    printf '{"%s", %s, "%s", %s, %s, %s, %s, %s},\n' "$name" "$district" "$region" "$lat" "$lon" "$e" "$n" "$site"
  done
} > places.inc
