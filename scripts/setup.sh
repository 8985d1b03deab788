# Sourced by run.sh and test.sh: installs what the build needs and configures it.
# Debian 12 packages only; nothing is fetched from anywhere else.

PO_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg-dev libemf2svg-dev libwmf-dev qt6-svg-dev
  fonts-liberation2 fonts-dejavu-core
  poppler-utils xvfb xdotool x11-utils
)

po_missing_packages() {
  local missing=() p
  for p in "${PO_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  echo "${missing[@]}"
}

po_install_packages() {
  local missing
  missing=$(po_missing_packages)
  [ -z "$missing" ] && return 0
  echo "Installing: $missing"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo="sudo"
    else
      echo "Missing packages: $missing. Run as root: apt-get install $missing" >&2
      return 1
    fi
  fi
  # shellcheck disable=SC2086
  $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
}

# Configures once; later runs only rebuild what changed.
po_configure() {
  local build_dir=$1; shift
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S "$PO_ROOT" -B "$build_dir" "$@"
  elif [ $# -gt 0 ]; then
    cmake -S "$PO_ROOT" -B "$build_dir" "$@" >/dev/null
  fi
}

po_build() {
  cmake --build "$1" -j"$(nproc)" "${@:2}"
}
