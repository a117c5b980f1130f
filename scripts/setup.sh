#!/usr/bin/env bash
# Installs what the build needs on Debian 12 (idempotent) and configures and builds the project.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make qt6-base-dev qt6-translations-l10n libgl-dev googletest libgtest-dev unixodbc-dev tdsodbc
  libqt6svg6 desktop-file-utils dpkg-dev file
  odbcinst python3 clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi

# The import reaches SQL Server through the FreeTDS ODBC driver, which the
# connection strings name "FreeTDS": make sure the driver manager knows it.
if ! odbcinst -q -d -n FreeTDS >/dev/null 2>&1; then
  odbcinst -i -d -f /usr/share/tdsodbc/odbcinst.ini >/dev/null
fi

# A compiler cache, where one is installed, makes rebuilds of other checkouts cheap.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build build -j"$(nproc)"
