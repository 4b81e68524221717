# Shell helpers for running Windows programs under Wine in throwaway prefixes.
# Sourced by the test scripts; needs $top (the repository) set.

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine_cache=${HIVARA_WINE_CACHE:-$top/build/wine-templates}

# A booted prefix of the given arch (win64, win32), made once and kept as a
# template; each test copies it, so no test sees another's registry or files.
wine_template() {
  local arch=$1 dir="$wine_cache/$1"
  mkdir -p "$wine_cache"
  (
    flock 9
    if [ ! -f "$dir/.ready-2" ]; then
      rm -rf "$dir"
      WINEARCH=$arch WINEPREFIX="$dir" wineboot -i >/dev/null 2>&1
      WINEPREFIX="$dir" wineserver -w
      # Debian's Wine does not pick up its own fonts; without them every face
      # falls back to DejaVu Sans, far wider than MS Sans Serif.
      cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$dir/drive_c/windows/Fonts/" 2>/dev/null || true
      touch "$dir/.ready-2"
    fi
  ) 9>"$wine_cache/.lock-$arch"
  echo "$dir"
}

# Makes a fresh prefix at $2 from the template of arch $1. The big DLL folders
# are hard links: Wine only reads them.
wine_fresh_prefix() {
  local arch=$1 dest=$2 tpl
  tpl=$(wine_template "$arch")
  rm -rf "$dest"
  mkdir -p "$dest"
  cp -a "$tpl"/. "$dest"/
}

# Ends every process of the prefix and removes it.
wine_drop_prefix() {
  local p=$1
  [ -d "$p" ] || return 0
  WINEPREFIX="$p" wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX="$p" wineserver -w >/dev/null 2>&1 || true
  rm -rf "$p"
}

# Runs a command with a time limit, ending it by its own process id.
run_limited() {
  local limit=$1; shift
  "$@" &
  local pid=$! waited=0
  while kill -0 "$pid" 2>/dev/null; do
    if [ $waited -ge $((limit * 10)) ]; then
      echo "time limit of ${limit}s reached: $*" >&2
      kill "$pid" 2>/dev/null; sleep 0.5; kill -9 "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
      return 124
    fi
    sleep 0.1; waited=$((waited + 1))
  done
  wait "$pid"
}
