#!/usr/bin/env bash
# Builds everything and runs every test: natively (with sanitizers), then the Windows
# build under Wine on a private virtual display. Ends with one summary line.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh" || exit 1

# ONDREVAN_TEST_LOAD=N runs N CPU-bound processes beside the whole command, to see that the
# tests hold on a loaded machine; they end with it.
busy=()
for _ in $(seq 1 "${ONDREVAN_TEST_LOAD:-0}"); do
    bash -c 'while :; do :; done' &
    busy+=($!)
done
[ ${#busy[@]} -gt 0 ] && echo "(loaded by ${#busy[@]} CPU-bound processes beside the tests)"
trap '[ ${#busy[@]} -gt 0 ] && kill "${busy[@]}" 2>/dev/null' EXIT

passed=0
failed=0
count() {  # reads ctest's closing line: "NN% tests passed, F tests failed out of T"
    local line f t
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -1)
    if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
    f=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")
    t=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + t - f))
    failed=$((failed + f))
}

logs="$root/build/test-logs"
mkdir -p "$logs"

echo "== Formatting"
if (cd "$root" && git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror); then
    echo "formatting: ok"; passed=$((passed + 1))
else
    echo "formatting: run clang-format -i on the files above"; failed=$((failed + 1))
fi

echo "== Layers: no folder of src/ includes one above it, no two include each other"
if "$root/tools/include-graph.sh" > "$logs/include-graph.txt"; then
    echo "layers: ok"; passed=$((passed + 1))
else
    sed -n '/== edges that point up/,$p' "$logs/include-graph.txt"
    echo "layers: see tools/include-graph.sh"; failed=$((failed + 1))
fi

# The native build and its tests need no display and no Wine: they run beside the Windows
# build, its Wine tests and the end-to-end suite, which wait on Wine more than they compute.
# Their output is shown when they are done, in one piece.
started=$SECONDS
(
    if "$root/tools/build.sh" native; then
        (cd "$root/build/native" && ctest --output-on-failure -j2)
    else
        echo "native build failed"
    fi
) >"$logs/native.txt" 2>&1 &
native=$!

echo "== Windows build and tests under Wine"
if "$root/tools/build.sh" win; then
    # What the end-to-end suite installs is packaged meanwhile.
    "$root/tests/e2e/run.sh" package >"$logs/e2e-package.txt" 2>&1 &
    packaging=$!
    (cd "$root/build/win" && "$root/tools/with-xvfb.sh" ctest --output-on-failure --timeout 600) 2>&1 \
        | tee "$logs/wine.txt"
    count "$logs/wine.txt"
    (source "$root/tools/wine-env.sh" && wineserver -k 2>/dev/null || true)
else
    echo "windows build failed"; failed=$((failed + 1))
fi
echo "(Windows build and Wine tests: $((SECONDS - started)) s)"

echo "== Release packages, installed and used from outside under Wine"
e2e_started=$SECONDS
if [ -n "${packaging:-}" ] && wait "$packaging"; then
    cat "$logs/e2e-package.txt"
    "$root/tests/e2e/run.sh" suite 2>&1 | tee "$logs/e2e.txt"
else
    cat "$logs/e2e-package.txt" 2>/dev/null
    "$root/tests/e2e/run.sh" 2>&1 | tee "$logs/e2e.txt"
fi
line=$(grep -E '^e2e: [0-9]+ passed, [0-9]+ failed' "$logs/e2e.txt" | tail -1)
if [ -n "$line" ]; then
    passed=$((passed + $(sed -E 's/^e2e: ([0-9]+) passed.*/\1/' <<<"$line")))
    failed=$((failed + $(sed -E 's/.* ([0-9]+) failed/\1/' <<<"$line")))
else
    echo "the release or its end-to-end suite did not run to the end"; failed=$((failed + 1))
fi
echo "(release and end-to-end suite: $((SECONDS - e2e_started)) s)"

echo "== Native build and tests (sanitizers)"
wait "$native"
cat "$logs/native.txt"
count "$logs/native.txt"

echo "== The release's winget manifests"
if yamllint -d '{extends: default, rules: {document-start: disable, line-length: {max: 100}}}' \
        "$root"/build/release/winget/*/*.yaml &&
    python3 "$root/packaging/winget/check.py" "$(echo "$root"/build/release/winget/*/)" \
        "$root/build/release"; then
    passed=$((passed + 1))
else
    echo "winget manifests: see above"; failed=$((failed + 1))
fi

echo "== The Group Policy templates in the portable zip"
policy=$(mktemp -d)
if unzip -q "$(echo "$root"/build/release/Ondrevan-*-portable.zip)" 'Ondrevan/Policy/*' \
        -d "$policy" &&
    xmllint --noout "$policy"/Ondrevan/Policy/Ondrevan.admx \
        "$policy"/Ondrevan/Policy/en-US/Ondrevan.adml &&
    python3 "$root/packaging/policy/check.py" "$policy"/Ondrevan/Policy/Ondrevan.admx \
        "$policy"/Ondrevan/Policy/en-US/Ondrevan.adml "$root/src/product/Policies.h"; then
    passed=$((passed + 1))
else
    echo "policy templates: see above"; failed=$((failed + 1))
fi
rm -rf "$policy"

echo
echo "Summary: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
