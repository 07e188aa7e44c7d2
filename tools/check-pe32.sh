#!/usr/bin/env bash
# The product must be a 32-bit Windows program, GUI (or, given "console", a
# console program), that needs no DLL beyond the system's.
set -euo pipefail
exe=$1
kind=${2:-gui}
subsystem=0002
[ "$kind" = console ] && subsystem=0003
# Read whole before matching: grep -q stops early, and the writer's broken
# pipe would fail the pipeline under pipefail.
# objdump's words are matched, so they must not be translated.
header=$(LC_ALL=C objdump -f "$exe")
details=$(LC_ALL=C objdump -p "$exe")
grep -q 'file format pei-i386' <<<"$header" || { echo "$exe: not PE32 i386"; exit 1; }
grep -q "Subsystem.*$subsystem" <<<"$details" || { echo "$exe: not a $kind program"; exit 1; }
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|COMDLG32|SHELL32|GDIPLUS|MSVCRT|ADVAPI32|OLE32)\.DLL$'
bad=$(awk '/DLL Name:/ {print toupper($3)}' <<<"$details" | grep -v -E "$allowed" || true)
[ -z "$bad" ] || { echo "$exe: unexpected DLLs: $bad"; exit 1; }
echo "$exe: PE32 $kind, imports $(awk '/DLL Name:/ {printf "%s ", $3}' <<<"$details")"
