# Shared by scripts/run, scripts/test and scripts/bench: installing what the
# build needs, building, and running Windows programs under Wine and Xvfb.
# BGSHAKE_BUILD chooses the build folder (default: build/ in the checkout).

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BGSHAKE_BUILD:-$ROOT/build}
WINE=/usr/lib/wine/wine64
PACKAGES="cmake g++ clang libclang-rt-14-dev googletest libgtest-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb xauth x11-utils locales
  fonts-wqy-zenhei imagemagick xdotool"

say() { printf '== %s\n' "$*" >&2; }

# Installs the Debian packages that are missing, and the zh_CN.UTF-8 locale
# from which Wine takes the GBK code page.
ensure_packages() {
  local missing=()
  for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    say "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -q >/dev/null
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
  fi
  if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    say "generating the zh_CN.UTF-8 locale"
    local sudo=""
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
  fi
}

# Configures and builds one flavour: native, x86_64 or i686.
build_flavour() {
  local flavour=$1; shift
  local dir=$BUILD/$flavour
  local args=(-S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@")
  command -v ninja >/dev/null || args=(-S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@")
  case $flavour in
    x86_64|i686) args+=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$flavour.cmake") ;;
  esac
  cmake "${args[@]}" >"$BUILD/cmake-$flavour.log" 2>&1 || { cat "$BUILD/cmake-$flavour.log"; return 1; }
  cmake --build "$dir" -j"$(nproc)" >"$BUILD/build-$flavour.log" 2>&1 || { tail -50 "$BUILD/build-$flavour.log"; return 1; }
}

build_tool() {
  mkdir -p "$BUILD"
  say "building the 32-bit exe (build/i686)"
  # Built for size: the 32-bit exe is what users download.
  build_flavour i686 -DBGSHAKE_TESTS=OFF -DCMAKE_BUILD_TYPE=MinSizeRel || return 1
  say "building the 64-bit exe and its tests (build/x86_64)"
  build_flavour x86_64
}

# Starts Xvfb on a free display and exports DISPLAY; stop_xvfb ends it.
XVFB_PID=""
start_xvfb() {
  local n=90
  while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  export DISPLAY=":$n"
}
stop_xvfb() { [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null; XVFB_PID=""; }

# Wine with the GBK code page, no Mono/Gecko prompts and no debug noise, in a
# prefix of the build folder. With virtual_desktop, every program of the
# prefix runs in one 1024x768 Wine desktop (a window manager of Wine's own).
wine_env() {
  export WINEPREFIX=$1
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
}
ensure_prefix() {
  local prefix=$1 virtual_desktop=${2:-}
  wine_env "$prefix"
  if [ ! -f "$prefix/system.reg" ]; then
    say "creating the Wine prefix $prefix"
    "$WINE" wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  if [ -n "$virtual_desktop" ]; then
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    wineserver -w
  fi
}
stop_wine() { [ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null || true; }
