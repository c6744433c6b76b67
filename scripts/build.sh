#!/usr/bin/env bash
# Configures and builds into build/ (or $MW_BUILD_DIR) with CMake and Ninja;
# MW_BUILD_TARGET builds that target only.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${MW_BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build_dir" ${MW_BUILD_TARGET:+--target "$MW_BUILD_TARGET"}
