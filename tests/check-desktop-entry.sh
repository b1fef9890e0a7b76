#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the desktop entry
# there: desktop-file-validate finds nothing to say, and the program and the
# icon it names are installed next to it.
set -u
build=${1:?build directory}
command -v desktop-file-validate >/dev/null || { echo "desktop-file-validate is missing (desktop-file-utils)"; exit 1; }
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "cmake --install failed"; exit 1; }
entry=$prefix/share/applications/varnak.desktop
[ -f "$entry" ] || { echo "no $entry"; exit 1; }
report=$(desktop-file-validate "$entry" 2>&1)
[ -z "$report" ] || { echo "desktop-file-validate: $report"; exit 1; }
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$prefix/bin/$program" ] || { echo "Exec names $program, not installed in bin"; exit 1; }
icon=$(sed -n 's/^Icon=//p' "$entry")
ls "$prefix"/share/icons/hicolor/*/apps/"$icon".* >/dev/null 2>&1 || { echo "icon $icon is not installed"; exit 1; }
echo "desktop entry ok"
