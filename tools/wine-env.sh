# Sourced by the scripts that run Wine: a private prefix in the build tree,
# no debug chatter, no prompts for Mono or Gecko, and no debugger that would
# wait forever over a crashed program.
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX="$root/${QEL_BUILD_DIR:-build}/win32/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winedbg.exe="

# Every Wine process of a run must share the display its server started
# with, so each run begins and ends with the prefix's server stopped.
stop_wineserver() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# Runs a command on a virtual X display: the one numbered in QEL_DISPLAY,
# for people sharing a machine, or else the first free one.
on_virtual_display() {
  local display=(-a)
  if [ -n "${QEL_DISPLAY:-}" ]; then
    display=(-n "$QEL_DISPLAY")
  fi
  xvfb-run "${display[@]}" -s "-screen 0 1280x1024x24" "$@"
}
