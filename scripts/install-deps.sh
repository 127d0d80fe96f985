#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the benchmarks and the program need.
# Cheap when everything is already there: it asks dpkg first and only calls apt-get for what is missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
  libcurl4-openssl-dev
  libpng-dev zlib1g-dev
  libfluidsynth-dev timgm6mb-soundfont
  libgtest-dev libgmock-dev libbenchmark-dev
  libcpp-httplib-dev libssl-dev libbrotli-dev
  clang-14 libclang-rt-14-dev clang-format clang-tidy
  fonts-wqy-microhei
  xvfb xauth xdotool imagemagick x11-utils
  python3 curl
  locales  # the tests compile a decimal-comma locale with localedef
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  echo "install-deps: missing packages: ${missing[*]}" >&2
  echo "install-deps: run this script as root (or install them with apt-get) and try again" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y --no-install-recommends "${missing[@]}"
