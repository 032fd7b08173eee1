#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Lexivo need, when any is missing.
set -euo pipefail
packages=(g++ cmake make pkg-config qt6-base-dev qt6-qpa-plugins libsqlite3-dev sqlite3 libpcre2-dev libgtest-dev wamerican
          scowl wordnet-base
          dpkg-dev file
          fonts-liberation fonts-dejavu-core)
if [ "${1:-}" = "--bench" ]; then
  packages+=(wamerican-insane an bc time hyperfine wordnet)
elif [ "${1:-}" = "--screenshot" ]; then
  packages+=(xvfb xauth imagemagick)
elif [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
