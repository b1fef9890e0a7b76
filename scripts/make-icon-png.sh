#!/usr/bin/env bash
# Renders the 16x16 window icon from the scalable one (ImageMagick).
set -eu
cd "$(dirname "$0")/../data/icons"
convert -background none varnak.svg -resize 16x16 varnak.png
