#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: the normal build and
# its Debian package, then
# the core tests under AddressSanitizer and UndefinedBehaviorSanitizer, then a
# short run of each fuzz target when clang with libFuzzer is available, then
# the Windows cross build with its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

echo "== Build and test"
bash scripts/build.sh -DMW_BUILD_BENCH=ON
(cd build && ctest --output-on-failure -j2)
# The Debian package of that build: dependencies, lintian, installed and run.
bash scripts/test-package.sh

# The number of GoogleTest cases behind the ctest entries, for the summary.
cases=0
for binary in build/bin/*_tests; do
  listed=$(QT_QPA_PLATFORM=offscreen "$binary" --gtest_list_tests 2>/dev/null | grep -c '^  ' || true)
  cases=$((cases + ${listed:-0}))
done

if [ "${MW_SKIP_SANITIZERS:-0}" != 1 ]; then
  echo "== Sanitizer build and test"
  MW_BUILD_DIR=build-asan bash scripts/build.sh -DMW_SANITIZE=ON -DMW_BUILD_BENCH=OFF -DMW_BUILD_GUI=OFF -DCMAKE_BUILD_TYPE=Debug
  (cd build-asan && ctest --output-on-failure -j2)
fi

if [ "${MW_SKIP_FUZZ:-0}" != 1 ] && command -v clang++ >/dev/null 2>&1 && [ -d fuzz ]; then
  # 12 targets of 20 s each: about the time 8 of 30 s took.
  echo "== Fuzz targets (short runs)"
  MW_BUILD_DIR=build-fuzz MW_BUILD_TARGET=fuzzers CC=clang CXX=clang++ bash scripts/build.sh -DMW_FUZZ=ON -DMW_BUILD_TESTS=OFF \
    -DMW_BUILD_BENCH=OFF -DMW_BUILD_GUI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
  for target in build-fuzz/bin/fuzz_*; do
    [ -x "$target" ] || continue
    corpus="fuzz/corpus/$(basename "$target" | sed 's/^fuzz_//')"
    mkdir -p "build-fuzz/corpus-$(basename "$target")"
    echo "-- $(basename "$target")"
    "$target" -max_total_time="${MW_FUZZ_SECONDS:-20}" -rss_limit_mb=2048 -close_fd_mask=3 -print_final_stats=0 \
      "build-fuzz/corpus-$(basename "$target")" $( [ -d "$corpus" ] && echo "$corpus" ) 2>&1 | tail -n 2
  done
fi

# The Windows cross build and its tests under Wine (MW_SKIP_WINDOWS=1: left out).
bash scripts/test-windows.sh

echo "== Summary"
echo "tests: ${cases} passed, 0 failed"
