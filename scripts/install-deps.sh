#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the test tools
# need. Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 xvfb xauth
  ghostscript hp2xx python3 python3-ezdxf python3-matplotlib python3-numpy fpc
  libocct-data-exchange-dev libocct-foundation-dev
  hershey-fonts-data clang
  librsvg2-bin inkscape linuxcnc-uspace
  desktop-file-utils libxml2-utils shared-mime-info groff-base dpkg-dev file
  qt6-svg-dev poppler-utils cups printer-driver-cups-pdf
)

# Node.js may come with its own npm from another package source; Debian's
# npm is only wanted where there is none.
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get -o DPkg::Lock::Timeout=600 update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
fi

# The CNC output is checked with the toolpath engine of a G-code controller,
# which is published on npm only.
here="$(cd "$(dirname "$0")/.." && pwd)"
if command -v npm >/dev/null 2>&1 && [ -f "$here/tests/convert/node/package.json" ] \
   && [ ! -d "$here/tests/convert/node/node_modules/gcode-toolpath" ]; then
  (cd "$here/tests/convert/node" && npm install --no-audit --no-fund --silent)
fi
