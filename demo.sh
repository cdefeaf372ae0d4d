#!/usr/bin/env bash
# The main job. For now: build everything and show the products.
set -euo pipefail
cd "$(dirname "$0")"
./build.sh
ls -l build/bin
