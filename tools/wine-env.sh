# Sourced by the scripts that run Wine: a private prefix in the build tree,
# no debug chatter, no prompts for Mono or Gecko.
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX="$root/${QEL_BUILD_DIR:-build}/win32/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Every Wine process of a run must share the display its server started
# with, so each run begins and ends with the prefix's server stopped.
stop_wineserver() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}
