#!/usr/bin/env bash
# Installs what is needed, builds, and runs a quiet build of the sample
# workspace in examples/. Its output lands in examples/work/Build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
root="$PWD/examples/work"
rm -rf "$root"
mkdir -p "$root/Build"
cp -r examples/Working "$root/Working"
cat > "$root/Tools.ini" <<INI
[Login]
localdir=$root/Working/
builddir=$root/Build/
toolsdir=$PWD/build/bin/
INI
cd "$root"
"$OLDPWD/build/bin/modwright" -quiet -ini "$root/Tools.ini"
