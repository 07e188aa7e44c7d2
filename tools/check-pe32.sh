#!/usr/bin/env bash
# The product must be a 32-bit Windows GUI program that needs no DLL beyond
# the system's.
set -euo pipefail
exe=$1
objdump -f "$exe" | grep -q 'file format pei-i386' || { echo "$exe: not PE32 i386"; exit 1; }
objdump -p "$exe" | grep -q 'Subsystem.*0002' || { echo "$exe: not a GUI program"; exit 1; }
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|COMDLG32|SHELL32|GDIPLUS|MSVCRT|ADVAPI32)\.DLL$'
bad=$(objdump -p "$exe" | awk '/DLL Name:/ {print toupper($3)}' | grep -v -E "$allowed" || true)
[ -z "$bad" ] || { echo "$exe: unexpected DLLs: $bad"; exit 1; }
echo "$exe: PE32 GUI, imports $(objdump -p "$exe" | awk '/DLL Name:/ {printf "%s ", $3}')"
