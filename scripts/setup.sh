#!/usr/bin/env bash
# Installs what Tarvelin needs to build, run and be tested on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q $(cat packages.txt)
