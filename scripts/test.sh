#!/usr/bin/env bash
# Every test on a fresh machine: installs what is needed, builds with warnings as errors and runs
# the whole suite.
#   scripts/test.sh            the suite (build/)
#   scripts/test.sh address    the suite under ASan + UBSan (build-asan/)
#   scripts/test.sh thread     the concurrency tests under TSan (build-tsan/)
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-plain}
scripts/setup.sh

case "$mode" in
  plain)
    scripts/build.sh build -DVISTREL_WERROR=ON
    (cd build && ctest --output-on-failure -j "$(nproc)")
    ;;
  address)
    scripts/build.sh build-asan -DVISTREL_WERROR=ON -DVISTREL_SANITIZER=address \
      -DVISTREL_BUILD_BENCH=OFF
    (cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      ctest --output-on-failure -j "$(nproc)")
    ;;
  thread)
    scripts/build.sh build-tsan -DVISTREL_WERROR=ON -DVISTREL_SANITIZER=thread \
      -DVISTREL_BUILD_BENCH=OFF
    (cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -L concurrency)
    ;;
  *)
    echo "usage: scripts/test.sh [plain|address|thread]" >&2
    exit 2
    ;;
esac
