#!/usr/bin/env bash
# Runs every test: the stub's layer check, host tests of the packer and the
# portable core, a short run of the core's fuzz targets, the Windows-side
# unit tests under Wine, and the end-to-end scenarios that pack launchers
# and run them.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
make
source tools/wine-env.sh
fresh_wine_prefix "$PWD/build/test-wineprefix"
trap 'wineserver -k 2>/dev/null || true' EXIT

status=0
echo "== layers of the stub"
python3 tools/check-layers.py || status=1
echo "== packer and native core tests"
ctest --test-dir build/host --output-on-failure || status=1
echo "== fuzz targets of the portable core (5 s each)"
tools/fuzz.sh 5 || status=1
# The Windows-side tests run for every architecture this machine can run.
arches=$(tools/machine-arches.sh)
echo "== Windows architectures run here:" $arches
[ "$arches" = x64 ] && echo "== 32-bit runs skipped: this machine's kernel cannot run 32-bit programs"
for arch in $arches; do
  echo "== Windows-side unit tests, $arch (Wine)"
  ctest --test-dir "build/$([ "$arch" = x64 ] && echo wintest64 || echo wintest)" -j2 --output-on-failure || status=1
done
echo "== Java-side tests (JUnit)"
tools/java-tests.sh build || status=1
for arch in $arches; do
  echo "== end-to-end tests, $arch (Wine)"
  KESTREL_TEST_ARCH=$arch KESTREL_TEST_WINEPREFIX="$WINEPREFIX" /usr/bin/python3 -m pytest -q tests/e2e || status=1
done
exit $status
