#!/usr/bin/env bash
# The main job on a fresh machine: installs what is needed, builds, and runs `vistrel demo` on
# the bundled screenshot in examples/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build -DVISTREL_BUILD_BENCH=OFF >/dev/null
exec build/cli/vistrel demo --examples "$PWD/examples"
