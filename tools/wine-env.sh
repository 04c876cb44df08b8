# Sourced by the tool scripts: the Wine settings of test and demo runs.
# Each run gets its own prefix below build/, apart from the user's own.
# Every prefix is a 64-bit one, as Windows is today: it runs 64-bit
# programs, and 32-bit ones through WOW64.
export WINEDEBUG=-all
export WINEARCH=win64
# Class paths with characters outside ASCII need a UTF-8 Unix locale.
export LANG=C.UTF-8
# Wine's 64-bit loader: it runs 64-bit programs itself and hands 32-bit ones
# on to the 32-bit loader (the `wine` command starts the 32-bit one first).
WINE64=/usr/lib/wine/wine64

# Makes a fresh prefix at $1 and keeps a wineserver for it alive.
fresh_wine_prefix() {
  export WINEPREFIX="$1"
  if [ -d "$WINEPREFIX" ]; then wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"; fi
  mkdir -p "$WINEPREFIX"
  "$WINE64" wineboot -i >/dev/null 2>&1
  # Windows exist but are drawn nowhere; tests read and press them. The
  # driver is chosen when Wine's desktop process starts, so restart after.
  "$WINE64" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 </dev/null
  wineserver -k; wineserver -w
  wineserver -p
  # Start Wine's background processes now, with no pipe of ours to inherit:
  # started later, they would keep a caller's output pipe open.
  "$WINE64" wineboot >/dev/null 2>&1 </dev/null
}
