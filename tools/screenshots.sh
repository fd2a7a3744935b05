#!/usr/bin/env bash
# Renders the options dialog, in English and in Japanese, to
# docs/options-en.png and docs/options-ja.png. The dialog runs in Wine's
# virtual desktop, which draws the caption and frame itself, on a virtual
# X display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${QEL_BUILD_DIR:-build}
source tools/wine-env.sh
# A prefix of its own: the pictures do not depend on what the tests did.
export WINEPREFIX="$root/$build/win32/screenshot-prefix"

# Within the X session: set the prefix up, then one picture per language.
if [ "${1:-}" = "--in-display" ]; then
  # The Japanese caption and dialog fonts are proportional Gothics; the
  # dialog's is named in Japanese, so it is set from a Japanese session.
  replacements='HKCU\Software\Wine\Fonts\Replacements'
  wine reg add "$replacements" /v 'MS UI Gothic' /d IPAPGothic /f >/dev/null
  LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 \
    wine reg add "$replacements" /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f >/dev/null
  # Wine's own fonts (Marlett draws the caption buttons) are read from the
  # prefix's font folder only.
  ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"

  cd "$build/win32"
  for shot in en:C.UTF-8 ja:ja_JP.UTF-8; do
    language=${shot%%:*}
    locale=${shot#*:}
    rm -f "options-$language.bmp"
    LANG=$locale LC_ALL=$locale \
      wine explorer /desktop=qel_caller,640x480 options_snapshot.exe "options-$language.bmp"
    # No date in the file, so that an unchanged dialog gives the same file.
    convert "options-$language.bmp" -strip -define png:exclude-chunks=date,time \
      "$root/docs/options-$language.png"
    rm "options-$language.bmp"
    echo "docs/options-$language.png"
  done
  stop_wineserver
  exit 0
fi

bash tools/build.sh
mkdir -p docs
stop_wineserver
on_virtual_display bash "$0" --in-display
stop_wineserver
