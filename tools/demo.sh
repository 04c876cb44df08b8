#!/usr/bin/env bash
# The main job: builds everything, packs the sample application into a
# launcher and starts it under Wine, showing what it does.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
make
source tools/wine-env.sh
fresh_wine_prefix "$PWD/build/demo-wineprefix"
trap 'wineserver -k 2>/dev/null || true' EXIT

mkdir -p build/demo
build/host/kestrel-pack build samples/hello/project.toml -o build/demo/hello.exe
build/host/kestrel-pack inspect build/demo/hello.exe
echo "== starting build/demo/hello.exe -q under Wine"
set +e
wine build/demo/hello.exe -q
code=$?
set -e
echo "== launcher exit code: $code"
