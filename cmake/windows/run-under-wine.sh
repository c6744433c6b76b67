#!/usr/bin/env bash
# Runs one Windows program of the build under Wine: run-under-wine.sh WINE
# PROGRAM [ARGUMENTS...]. The program's output passes through a file, not
# straight to the caller's pipe: a console host that Wine leaves running
# after a program it served was killed keeps that pipe open, and ctest would
# wait for it until the test's timeout.
wine="$1"
shift
out="$(mktemp "${TMPDIR:-/tmp}/mw-wine-out.XXXXXX")"
trap 'rm -f "$out"' EXIT
"$wine" "$@" >"$out" 2>&1
status=$?
cat "$out"
exit "$status"
