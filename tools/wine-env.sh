# Sourced by the tool scripts: the Wine settings of test and demo runs.
# Each run gets its own prefix below build/, apart from the user's own.
export WINEDEBUG=-all
: "${LANG:=C.UTF-8}"
export LANG

# Makes a fresh prefix at $1 and keeps a wineserver for it alive.
fresh_wine_prefix() {
  export WINEPREFIX="$1"
  if [ -d "$WINEPREFIX" ]; then wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"; fi
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # Windows exist but are drawn nowhere; tests read and press them. The
  # driver is chosen when Wine's desktop process starts, so restart after.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 </dev/null
  wineserver -k; wineserver -w
  wineserver -p
  # Start Wine's background processes now, with no pipe of ours to inherit:
  # started later, they would keep a caller's output pipe open.
  wineboot >/dev/null 2>&1 </dev/null
}
