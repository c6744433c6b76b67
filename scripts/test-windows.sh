#!/usr/bin/env bash
# The Windows part of the tests: runs the README's Windows build command as
# written (every program, the benchmarks and Toolset/), adds the core's test
# suites to that build, runs
# the core tests and the end-to-end tests under wine64 in a throwaway prefix
# (headless: no display, no dialogs), compares the sample workspace built by
# the Linux and the Windows programs, and packs the Windows zip.
# MW_SKIP_WINDOWS=1 leaves all of it out. It expects the Linux build in
# MW_LINUX_BUILD_DIR (default build/), which scripts/test.sh makes first.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${MW_SKIP_WINDOWS:-0}" = 1 ]; then
  echo "== Windows build and tests skipped (MW_SKIP_WINDOWS=1)"
  exit 0
fi

# The README builds into build-windows; the tests are added to that build.
build_dir=build-windows
linux_dir="${MW_LINUX_BUILD_DIR:-build}"
wine="$(command -v wine64 || true)"
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
wineserver="$(dirname "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver="$(command -v wineserver)"
if [ ! -x "$wine" ] || ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  echo "The Windows tests need wine64 and the MinGW-w64 toolchain: run scripts/setup.sh" >&2
  exit 1
fi

# The core's test suites.
suites=(platform_tests app_tests dbtext_tests dbarchive_tests dbtools_tests assets_tests build_tests tools_tests e2e_tests)

# A prefix of its own in a temporary folder, removed at the end with its
# server. No display driver, no debugger on crashes, no installers of Mono or
# Gecko: nothing can wait for a window. The temporary folder of the Windows
# programs is on the Linux side (drive Z:), so the tests' paths of this tree
# and theirs resolve on one drive.
scratch="$(mktemp -d "${TMPDIR:-/tmp}/mw-wine.XXXXXX")"
export WINEPREFIX="$scratch/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  WINEPREFIX="$WINEPREFIX" "$wineserver" -k 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

echo "== Wine prefix for $(basename "$wine")"
start=$SECONDS
mkdir -p "$scratch/temp" "$WINEPREFIX"
# One server for every program of the run, kept until the cleanup ends it.
"$wineserver" -p >/dev/null 2>&1
"$wine" wineboot --init >/dev/null 2>&1
wintemp="Z:$(echo "$scratch/temp" | tr / '\\')"
"$wine" reg add 'HKCU\Environment' /v TEMP /t REG_SZ /d "$wintemp" /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Environment' /v TMP /t REG_SZ /d "$wintemp" /f >/dev/null 2>&1
prefix_seconds=$((SECONDS - start))

echo "== The README's Windows build command"
start=$SECONDS
# Taken from the README itself, so what it tells a reader is what CI runs.
readme_command="$(grep -m 1 '^cmake -S \. -B build-windows ' README.md || true)"
if [ -z "$readme_command" ]; then
  echo "README.md has no Windows build command (a line 'cmake -S . -B build-windows ...')" >&2
  exit 1
fi
echo "$readme_command"
bash -euo pipefail -c "$readme_command"
readme_seconds=$((SECONDS - start))

echo "== Windows test suites"
start=$SECONDS
cmake --no-warn-unused-cli -S . -B "$build_dir" -DMW_BUILD_GUI=OFF -DMW_BUILD_BENCH=OFF -DMW_BUILD_TESTS=ON \
  -DMW_WINE_PROGRAM="$wine" >/dev/null
ninja -C "$build_dir" -j2 "${suites[@]}" TestTool
build_seconds=$((SECONDS - start))

echo "== Windows tests under $(basename "$wine")"
start=$SECONDS
# ctest starts each suite through the build's emulator, wine64. A process
# start under Wine now and then fails on a busy machine ("Couldn't execute"),
# so a failed suite runs once more; a real fault fails twice.
(cd "$build_dir" && ctest --output-on-failure -j2 --timeout 900 --repeat until-pass:2 -R "^($(IFS='|'; echo "${suites[*]}"))\$")
tests_seconds=$((SECONDS - start))

echo "== Windows and Linux builds of the sample workspace"
start=$SECONDS
if [ ! -f "$linux_dir/build.ninja" ]; then
  cmake -S . -B "$linux_dir" -G Ninja -DMW_BUILD_GUI=OFF -DMW_BUILD_BENCH=OFF >/dev/null
fi
ninja -C "$linux_dir" -j2 windows_parity_tests modwright TexForge MeshForge AnimForge ShadeForge GlyphForge MapForge ArcPack
MW_WINDOWS_BIN="$(pwd)/$build_dir/bin" MW_WINE="$wine" "$linux_dir/bin/windows_parity_tests"
parity_seconds=$((SECONDS - start))

echo "== Windows zip"
start=$SECONDS
# The Toolset folder is packed by ArcPack.exe, run under Wine by the build.
if ! ninja -C "$build_dir" -j2 toolset >"$scratch/toolset.log" 2>&1; then
  cat "$scratch/toolset.log" >&2
  exit 1
fi
# The README's packing command as written.
zip_command="$(grep -m 1 '^(cd build-windows && cpack' README.md | sed 's/ *#.*$//')"
bash -euo pipefail -c "${zip_command:-(cd build-windows && cpack)}" >/dev/null
zip="$(ls -t "$build_dir"/modwright-*-win64.zip | head -n 1)"
listing="$(cmake -E tar tf "$zip")"
for member in modwright.exe modwright-cli.exe ArcPack.exe TexForge.exe README.txt Templates.arc; do
  if ! grep -q "/$member\$" <<<"$listing"; then
    echo "$zip lacks $member" >&2
    exit 1
  fi
done
echo "$zip"
zip_seconds=$((SECONDS - start))

echo "Windows times: README build ${readme_seconds} s, test suites ${build_seconds} s, Wine prefix ${prefix_seconds} s," \
  "tests under Wine ${tests_seconds} s, parity ${parity_seconds} s, zip ${zip_seconds} s"
