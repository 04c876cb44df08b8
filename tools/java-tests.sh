#!/usr/bin/env bash
# Runs the JUnit tests of the launcher's Java side (java/test) with the
# machine's JDK against the built runtime jar: tools/java-tests.sh [BUILD].
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
jar="$build/java/kestrel-runtime.jar"
junit=/usr/share/java/junit4.jar:/usr/share/java/hamcrest-core.jar
[ -f "$jar" ] || { echo "java-tests: $jar is missing (make java)" >&2; exit 1; }

classes="$build/java/test-classes"
rm -rf "$classes"
mapfile -t sources < <(find java/test -name '*.java' | sort)
javac -Xlint:all -cp "$jar:$junit" -d "$classes" "${sources[@]}"
tests=()
for source in "${sources[@]}"; do
  name=${source#java/test/}; name=${name%.java}
  [[ $name == *Test ]] && tests+=("${name//\//.}")
done
# JUnitCore ends with "OK (N tests)" or "FAILURES!!!" and the counts.
java -cp "$jar:$classes:$junit" org.junit.runner.JUnitCore "${tests[@]}"
