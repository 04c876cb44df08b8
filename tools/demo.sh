#!/usr/bin/env bash
# The main job: builds everything, packs the sample application into a
# launcher and starts it under Wine on a real Java VM: Debian's 32-bit Linux
# VM behind the runtime home of tools/realjvm. The application prints what
# it received and ends with the status it is asked for, which is checked.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
make
source tools/wine-env.sh
fresh_wine_prefix "$PWD/build/demo-wineprefix"
trap 'wineserver -k 2>/dev/null || true' EXIT

mkdir -p build/demo
build/host/kestrel-pack build samples/hello/project.toml -o build/demo/hello.exe
# The VM options file lies beside the launcher; the jars are in its payload.
cp samples/hello/hello.exe.vmoptions build/demo/
build/host/kestrel-pack inspect build/demo/hello.exe
# The launcher finds the runtime through JAVA_HOME, in its Windows form.
JAVA_HOME="Z:$(realpath build/realjvm/home | tr / '\\')"
export JAVA_HOME
expected=42
echo "== starting build/demo/hello.exe -q under Wine with the runtime $JAVA_HOME"
set +e
wine build/demo/hello.exe -q "two words" café --exit "$expected"
code=$?
set -e
echo "== launcher exit code: $code (the application was asked for $expected)"
[ "$code" -eq "$expected" ]
