#!/usr/bin/env bash
# Configures and builds Varnak into build/ (extra arguments go to cmake).
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build -j"$(nproc)"
