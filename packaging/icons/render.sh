#!/usr/bin/env bash
# Renders the committed PNG icons from kelvane.svg (needs rsvg-convert, Debian librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 48 128; do
  rsvg-convert -w "$size" -h "$size" kelvane.svg -o "kelvane-$size.png"
done
