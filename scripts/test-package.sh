#!/usr/bin/env bash
# The Debian package test: makes the .deb from the build in MW_BUILD_DIR
# (default build/, which scripts/test.sh makes first), checks that it declares
# its dependencies, runs lintian (errors fail the test), unpacks it into a
# throwaway root and runs a quiet build of the sample workspace with the
# unpacked programs, with no settings but the working and build folders and
# with a fresh home folder.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir="${MW_BUILD_DIR:-build}"
if [ ! -x "$build_dir/bin/modwright" ]; then
  echo "No build in $build_dir: run scripts/build.sh first" >&2
  exit 1
fi
for program in cpack dpkg-deb dpkg-shlibdeps lintian; do
  if ! command -v "$program" >/dev/null; then
    echo "The package test needs $program: run scripts/setup.sh" >&2
    exit 1
  fi
done

scratch="$(mktemp -d "${TMPDIR:-/tmp}/mw-package.XXXXXX")"
cleanup() {
  chmod -R u+w "$scratch" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

echo "== Debian package"
start=$SECONDS
(cd "$build_dir" && cpack -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1) || {
  cat "$scratch/cpack.log" >&2
  exit 1
}
deb="$(ls "$scratch"/out/modwright_*.deb)"
echo "$(basename "$deb"): $(du -k "$deb" | cut -f1) KiB"
package_seconds=$((SECONDS - start))

depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for needed in libc6 zlib1g; do
  if ! grep -q "\b$needed\b" <<<"$depends"; then
    echo "The package does not depend on $needed" >&2
    exit 1
  fi
done
if [ -f "$build_dir/bin/libmw_ui.a" ] || grep -q "MW_BUILD_GUI:BOOL=ON" "$build_dir/CMakeCache.txt"; then
  grep -q "libqt6widgets6" <<<"$depends" || { echo "The package does not depend on Qt 6's widgets" >&2; exit 1; }
fi

start=$SECONDS
# Errors fail the test; warnings are shown.
lintian --fail-on error --tag-display-limit 0 "$deb" | tee "$scratch/lintian.log"
lintian_seconds=$((SECONDS - start))

echo "== Installed programs, no settings"
root="$scratch/root"
dpkg-deb -x "$deb" "$root"
for file in usr/bin/modwright usr/bin/modwright-cli usr/lib/modwright/TexForge usr/lib/modwright/ArcPack \
  usr/share/modwright/Toolset/Templates.arc usr/share/man/man1/modwright.1.gz usr/share/doc/modwright/copyright; do
  [ -e "$root/$file" ] || { echo "The package lacks /$file" >&2; exit 1; }
done
ls "$root/usr/share/modwright/Defaults/" | grep -q . || { echo "The package's Defaults/ is empty" >&2; exit 1; }
# No helper program lands in /usr/bin, where its short name could collide.
extra="$(ls "$root/usr/bin" | grep -v -x -e modwright -e modwright-cli || true)"
[ -z "$extra" ] || { echo "Unexpected programs in /usr/bin: $extra" >&2; exit 1; }
"$root/usr/bin/modwright" --version
"$root/usr/bin/modwright-cli" --version

work="$scratch/work"
mkdir -p "$work/home" "$work/Build" "$work/start"
cp -r examples/Working "$work/Working"
ini="$work/home/Tools.ini"
printf '[Login]\nlocaldir=%s/Working/\nbuilddir=%s/Build/\n' "$work" "$work" >"$ini"
# The desktop entry starts the program in the user's home (writable, owned
# by no package), where the compilers write their statistics files.
desktop="$root/usr/share/applications/modwright.desktop"
if [ -f "$desktop" ]; then
  grep -qx "Exec=/usr/bin/modwright" "$desktop" || { echo "The desktop entry does not start /usr/bin/modwright" >&2; exit 1; }
  if grep -q "^Path=" "$desktop"; then
    echo "The desktop entry starts the program in a folder of the package: $(grep '^Path=' "$desktop")" >&2
    exit 1
  fi
  [ -f "$root/usr/share/icons/hicolor/48x48/apps/modwright.png" ] || { echo "No 48x48 icon" >&2; exit 1; }
fi
(cd "$work/start" && env -i PATH=/usr/bin:/bin HOME="$work/home" "$root/usr/bin/modwright" -quiet -ini "$ini") \
  >"$scratch/quiet.log" 2>&1 || {
  cat "$scratch/quiet.log" >&2
  echo "The quiet build with the installed programs failed" >&2
  exit 1
}
grep -q "No tools folder is set: using the compilers in $root/usr/lib/modwright/" "$scratch/quiet.log"
[ -s "$work/Build/database/database.arz" ] || { echo "No database archive was built" >&2; exit 1; }
ls "$work"/Build/resources/*.arc >/dev/null || { echo "No resource archive was built" >&2; exit 1; }
ls "$work/start"/TextureBuildStatistics.csv >/dev/null || { echo "No statistics file in the start folder" >&2; exit 1; }
tail -n 3 "$scratch/quiet.log"

echo "Package times: cpack ${package_seconds} s, lintian ${lintian_seconds} s"
