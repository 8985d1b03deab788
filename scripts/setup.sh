# Sourced by run.sh, test.sh and the scripts beside this file: installs what the build needs
# and configures it. Debian 12 packages only; nothing is fetched from anywhere else.

# Everything a fresh minimal Debian 12 needs for the program, the tests, the benchmarks, the
# sanitizer build and the real-window tests. scripts/fresh-machine.sh proves the list complete.
PO_PACKAGES=(
  cmake g++ make pkg-config
  # Compilations already made are reused: CI builds a fresh checkout three times.
  ccache
  qt6-base-dev qt6-svg-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg-dev libemf2svg-dev libwmf-dev
  # Needed only through another library's link line: libwmf.pc asks for -lexpat, but
  # libwmf-dev does not depend on libexpat1-dev.
  libexpat1-dev
  fonts-liberation2 fonts-dejavu-core
  # The tests: pdftotext/pdftoppm for the printout; a private X server and xdotool for the
  # real-window tests, and libx11-dev for their close-box helper; xauth for the xvfb-run
  # that run.sh suggests.
  poppler-utils xvfb xauth xdotool libx11-dev
  # xprop reads a window's icon in the title test; ImageMagick's import and identify take and
  # read screenshots (the loading test, scripts/readme-pictures.sh).
  x11-utils imagemagick
  # A Wayland session beside the X server (a headless weston) and Qt's Wayland plugin, which
  # any Qt 6 desktop brings: the program must still run on X there.
  weston qt6-wayland
  # Qt's GTK platform theme, through which the dark-theme test puts on GTK's Adwaita dark.
  qt6-gtk-platformtheme
  # A window manager in the test's X server, for the stacking and keyboard tests.
  openbox
  # What a screen reader sees: the AT-SPI bus and registry, a session bus to run them on, and
  # the Python binding the accessibility test reads the program's windows with.
  at-spi2-core dbus python3-pyatspi
  # A CUPS scheduler and its lpadmin/lpstat, run by the print-queue test as its own service.
  cups-daemon cups-client
  # strace shows that a save syncs before its rename (the durable-save test).
  strace
  # The locale sources from which the locale test builds a C library locale of its own.
  locales
  # The Debian package: dpkg-shlibdeps (dpkg-dev, which needs file) finds its dependencies,
  # lintian, appstreamcli and desktop-file-validate check it.
  dpkg-dev file lintian appstream desktop-file-utils
  # The desktop's side of orders: xdg-email hands a mail program the order (the mail test),
  # xdg-mime and xdg-open find the program for a .pof file (the fresh-machine check), which
  # shared-mime-info's database and its Perl reader name.
  xdg-utils shared-mime-info libfile-mimeinfo-perl
)
# The libFuzzer targets are built with clang (scripts/fuzz.sh adds these), and so are the
# picture libraries, from their Debian sources, with what those need to build.
PO_FUZZ_PACKAGES=(clang libclang-rt-14-dev dpkg-dev xz-utils debian-archive-keyring
                  libpng-dev libfreetype-dev libfontconfig-dev)

# One line at the start of each long stage, so that a first run is never silent for long.
po_stage() {
  echo "==> $*"
}

# Prints the packages of the given list (default: PO_PACKAGES) that are not installed.
po_missing_packages() {
  local missing=() p
  [ $# -gt 0 ] || set -- "${PO_PACKAGES[@]}"
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  echo "${missing[@]}"
}

# Installs what is missing of the given packages (default: PO_PACKAGES), and says what.
po_install_packages() {
  local missing
  missing=$(po_missing_packages "$@")
  [ -z "$missing" ] && return 0
  po_stage "Installing Debian packages: $missing"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo="sudo"
    else
      echo "Missing packages: $missing. Run as root: apt-get install $missing" >&2
      return 1
    fi
  fi
  # dpkg's hundreds of lines go to a log, shown only when the installation fails.
  local log
  log=$(mktemp "${TMPDIR:-/tmp}/pelmora-po-packages.XXXXXX.log")
  # shellcheck disable=SC2086
  if $sudo apt-get update -qq >"$log" 2>&1 &&
     DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >>"$log" 2>&1; then
    rm -f "$log"
    return 0
  fi
  tail -n 60 "$log" >&2
  echo "The package installation failed; its whole output is in $log" >&2
  return 1
}

# Configures once; later runs only rebuild what changed.
po_configure() {
  local build_dir=$1; shift
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    po_stage "Configuring $build_dir"
    local log
    log=$(mktemp "${TMPDIR:-/tmp}/pelmora-po-configure.XXXXXX.log")
    if ! cmake -S "$PO_ROOT" -B "$build_dir" "$@" >"$log" 2>&1; then
      cat "$log" >&2
      rm -f "$log"
      return 1
    fi
    rm -f "$log"
  elif [ $# -gt 0 ]; then
    cmake -S "$PO_ROOT" -B "$build_dir" "$@" >/dev/null
  fi
}

# Shows what is compiled and linked, and every warning and error; not the lines that only
# say a target is up to date, so that a build with nothing to do prints nothing of its own.
po_build() {
  po_stage "Building in $1 (a first build takes a few minutes)"
  cmake --build "$1" -j"$(nproc)" "${@:2}" 2>&1 |
    { grep -v -E '^\[ *[0-9]+%\] (Built target |Automatic (MOC|RCC|MOC and UIC) for target )' || true; }
}
