#!/usr/bin/env bash
# The main job: builds everything, packs a real third-party program, JFlex
# as Debian packages it (samples/jflex), into a launcher and runs it under
# Wine on a real Java VM, Debian's Linux VM behind the runtime home of
# tools/realjvm, next to plain `java -cp … jflex.Main` with the same
# arguments: the output, the generated lexer and the exit codes must be the
# same.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
make
source tools/wine-env.sh
fresh_wine_prefix "$PWD/build/demo-wineprefix"
trap 'wineserver -k 2>/dev/null || true' EXIT

demo=build/demo
rm -rf "$demo" && mkdir -p "$demo/wine" "$demo/java"
build/host/kestrel-pack build samples/jflex/jflex.toml -o "$demo/jflex.exe"
build/host/kestrel-pack inspect "$demo/jflex.exe"
cp samples/jflex/words.flex "$demo/wine/"
cp samples/jflex/words.flex "$demo/java/"
# The launcher finds the runtime through JAVA_HOME, in its Windows form.
JAVA_HOME="Z:$(realpath build/realjvm/home64 | tr / '\\')"
export JAVA_HOME
class_path=/usr/share/java/jflex.jar:/usr/share/java/cup.jar:/usr/share/java/cup_runtime.jar

# Runs one start both ways from the two work folders: the launcher with its
# arguments, java with the same ones less a leading -q, which the launcher
# takes for itself (no dialog). Prints the launcher's output and checks it
# against java's.
compare() {
  local arguments=("$@") wine_out java_out wine_code java_code
  [ "${arguments[0]}" = -q ] && arguments=("${arguments[@]:1}")
  echo "== jflex.exe $*   (under Wine, in $demo/wine)"
  set +e
  wine_out=$(cd "$demo/wine" && "$WINE64" ../jflex.exe "$@" 2>&1)
  wine_code=$?
  java_out=$(cd "$demo/java" && java -cp "$class_path" jflex.Main "${arguments[@]}" 2>&1)
  java_code=$?
  set -e
  echo "$wine_out"
  echo "== exit code $wine_code (java: $java_code)"
  [ "$wine_out" = "$java_out" ] && [ "$wine_code" -eq "$java_code" ]
}

compare -d gen words.flex
diff -r "$demo/wine/gen" "$demo/java/gen"
echo "== gen/Words.java is the same as java's ($(wc -l < "$demo/wine/gen/Words.java") lines)"
compare -q --nobak -d "gen two" words.flex
diff -r "$demo/wine/gen two" "$demo/java/gen two"
compare -q missing.flex
# cmd itself ends with the errorlevel it echoes; the echoed value is the check.
parent_sees=$(cd "$demo/wine" && "$WINE64" cmd /c "..\\jflex.exe -q missing.flex >nul 2>&1 & echo %ERRORLEVEL%") || true
parent_sees=${parent_sees//$'\r'/}
echo "== as a Windows parent sees it: %ERRORLEVEL% = $parent_sees"
[ "$parent_sees" = 1 ]
echo "== the launcher behaved as java -cp ... jflex.Main in every start above"
