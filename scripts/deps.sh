#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs (as root), or prints the command to do it.
# Usage: scripts/deps.sh [extra-package ...]
set -euo pipefail
pkgs=(build-essential cmake pkg-config libgtest-dev libgmock-dev
      qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev libyaml-cpp-dev libcli11-dev
      lintian appstream desktop-file-utils python3-yaml
      gettext qt6-translations-l10n fonts-noto-cjk fonts-dejavu-core "$@")
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
cmd="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run as root:" >&2
    echo "  apt-get update && $cmd" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
$cmd
