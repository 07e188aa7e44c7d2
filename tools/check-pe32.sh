#!/usr/bin/env bash
# The product must be a 32-bit Windows GUI program that needs no DLL beyond
# the system's.
set -euo pipefail
exe=$1
# Read whole before matching: grep -q stops early, and the writer's broken
# pipe would fail the pipeline under pipefail.
header=$(objdump -f "$exe")
details=$(objdump -p "$exe")
grep -q 'file format pei-i386' <<<"$header" || { echo "$exe: not PE32 i386"; exit 1; }
grep -q 'Subsystem.*0002' <<<"$details" || { echo "$exe: not a GUI program"; exit 1; }
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|COMDLG32|SHELL32|GDIPLUS|MSVCRT|ADVAPI32)\.DLL$'
bad=$(awk '/DLL Name:/ {print toupper($3)}' <<<"$details" | grep -v -E "$allowed" || true)
[ -z "$bad" ] || { echo "$exe: unexpected DLLs: $bad"; exit 1; }
echo "$exe: PE32 GUI, imports $(awk '/DLL Name:/ {printf "%s ", $3}' <<<"$details")"
