#!/usr/bin/env bash
# The main job: builds everything, packs the sample application into a
# launcher and starts it under Wine on a real Java VM: Debian's Linux VM
# behind the runtime home of tools/realjvm. The 64-bit launcher runs on the
# 64-bit VM; where this machine runs 32-bit programs, the same sample packed
# as a 32-bit launcher runs on the 32-bit VM too. The application prints
# what it received and ends with the status it is asked for, which is checked.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
make
source tools/wine-env.sh
fresh_wine_prefix "$PWD/build/demo-wineprefix"
trap 'wineserver -k 2>/dev/null || true' EXIT

# Packs the sample for architecture $1 into build/demo/$2 and starts it on
# the runtime home $3; the application must end with the status asked for.
run_sample() {
  local arch=$1 launcher=build/demo/$2 home=$3 project=samples/hello/project.toml
  if [ "$arch" = x86 ]; then
    # The same project for the 32-bit launcher, its payload path made absolute.
    project=build/demo/project-x86.toml
    sed -e 's/^arch = "x64"/arch = "x86"/' -e "s|\"../../build/|\"$PWD/build/|" \
        samples/hello/project.toml > "$project"
  fi
  build/host/kestrel-pack build "$project" -o "$launcher"
  # The VM options file lies beside the launcher; the jars are in its payload.
  cp samples/hello/hello.exe.vmoptions "${launcher%.exe}.exe.vmoptions"
  build/host/kestrel-pack inspect "$launcher"
  # The launcher finds the runtime through JAVA_HOME, in its Windows form.
  JAVA_HOME="Z:$(realpath "$home" | tr / '\\')"
  export JAVA_HOME
  local expected=42 code
  echo "== starting $launcher -q under Wine with the runtime $JAVA_HOME"
  set +e
  wine "$launcher" -q "two words" café --exit "$expected"
  code=$?
  set -e
  echo "== launcher exit code: $code (the application was asked for $expected)"
  [ "$code" -eq "$expected" ]
}

mkdir -p build/demo
run_sample x64 hello.exe build/realjvm/home64
if tools/machine-arches.sh | grep -qx x86; then
  run_sample x86 hello32.exe build/realjvm/home
else
  echo "== the 32-bit launcher is not started: this machine's kernel cannot run 32-bit programs"
fi
