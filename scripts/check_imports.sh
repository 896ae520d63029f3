#!/bin/sh
# Checks that a built program starts on a bare Windows installation:
#   scripts/check_imports.sh i386|x86-64 PROGRAM.exe
# - the machine is the expected one (i386: the 32-bit release, a PE32 file);
# - the subsystem is Windows GUI, so no console window opens beside it;
# - every imported DLL ships with Windows. A MinGW runtime DLL
#   (libstdc++-6.dll, libgcc_s_dw2-1.dll, libwinpthread-1.dll) means the
#   static link flags were lost, and the program would not start on a machine
#   without MinGW. The UCRT forwarders (api-ms-win-crt-*.dll) are refused too:
#   older Windows lacks them unless an update is installed.
# - the program is large-address-aware: the 32-bit release would otherwise
#   get 2 GB of address space instead of 4, and the rich edit runs out of it
#   while loading a big data file (x86-64 linkers set the flag by default).
# OBJDUMP names the MinGW objdump; either MinGW objdump reads both machines.
set -eu

if [ $# -ne 2 ]; then
  echo "usage: $0 i386|x86-64 PROGRAM.exe" >&2
  exit 2
fi
machine=$1
program=$2
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

# The DLLs the program may use, all part of every Windows since XP.
allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll"
allowed="$allowed oleaut32.dll comctl32.dll comdlg32.dll msvcrt.dll shlwapi.dll "

headers=$("$objdump" -p "$program") || { echo "FAIL: $objdump cannot read $program" >&2; exit 1; }
failed=0
fail() { echo "FAIL: $program: $*" >&2; failed=1; }

case $machine in
  i386)   format=pei-i386;   magic='(PE32)' ;;
  x86-64) format=pei-x86-64; magic='(PE32+)' ;;
  *) echo "unknown machine '$machine'" >&2; exit 2 ;;
esac
printf '%s\n' "$headers" | grep -q "file format $format\$" || fail "not a $format file"
printf '%s\n' "$headers" | grep -q "^Magic[[:space:]].*$magic" || fail "optional header is not $magic"
# objdump lists the header's characteristics one per line under their value.
printf '%s\n' "$headers" | grep -q "^[[:space:]]*large address aware\$" ||
  fail "the program is not large-address-aware"
printf '%s\n' "$headers" | grep -q "^Subsystem[[:space:]].*(Windows GUI)" || fail "subsystem is not Windows GUI"

dlls=$(printf '%s\n' "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:upper:]' '[:lower:]' | tr -d '\r' | tr '\n' ' ')
[ -n "$dlls" ] || fail "imports no DLL at all; objdump output not understood"
for dll in $dlls; do
  case $allowed in
    *" $dll "*) ;;
    *) fail "imports $dll, which is not a Windows system DLL" ;;
  esac
done

if [ $failed -eq 0 ]; then
  echo "OK: $program: $format, Windows GUI, imports: $dlls"
fi
exit $failed
