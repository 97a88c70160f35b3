#!/usr/bin/env bash
# Installs what is missing, builds and runs every test three ways:
#   build       RelWithDebInfo, warnings as errors: the whole program and every test;
#   build-asan  AddressSanitizer + UndefinedBehaviorSanitizer, leaks checked: every test;
#   build-tsan  ThreadSanitizer: the store and responses tests, whose code runs on threads.
# The sanitizer trees build only what their tests need. The tests spend most of
# their time waiting on sockets and timers, so each tree's tests run while the
# next tree builds; their output is printed whole when they end. Each stage
# prints its time, and the end prints them all with the compiler cache's figures.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
JOBS=${JOBS:-2}
LOGS=$ROOT/build-logs
export QT_QPA_PLATFORM=offscreen

STAGES=()
FAILED=()
START=$SECONDS

clock() {
    printf '%d:%02d' $(($1 / 60)) $(($1 % 60))
}

record() { # record NAME SECONDS STATUS
    local result=ok
    [ "$3" -eq 0 ] || result="FAILED (exit $3)"
    STAGES+=("$(printf '%-34s %7s  %s' "$1" "$(clock "$2")" "$result")")
    [ "$3" -eq 0 ] || FAILED+=("$1")
}

# stage NAME COMMAND...: runs in the foreground.
stage() {
    local name=$1
    shift
    printf '\n==== %s\n' "$name"
    local start=$SECONDS status=0
    "$@" || status=$?
    record "$name" $((SECONDS - start)) "$status"
    printf '==== %s: %s\n' "$name" "$(clock $((SECONDS - start)))"
    return "$status"
}

# background NAME COMMAND...: runs beside the next stage, its output kept in a
# log; finish prints the log and the time once it has ended.
declare -A BG_PID BG_START BG_LOG
background() {
    local name=$1
    shift
    local log="$LOGS/$(printf '%s' "$name" | tr -c 'A-Za-z0-9' '_').log"
    printf '\n==== %s: started beside the next stage (output at its end)\n' "$name"
    # The job notes when it ended, so that its time is its own, not the wait for it.
    (
        status=0
        "$@" || status=$?
        echo "$SECONDS" >"$log.end"
        exit "$status"
    ) >"$log" 2>&1 &
    BG_PID[$name]=$!
    BG_START[$name]=$SECONDS
    BG_LOG[$name]=$log
}
finish() {
    local name=$1 status=0
    wait "${BG_PID[$name]}" || status=$?
    local end=$SECONDS
    [ -s "${BG_LOG[$name]}.end" ] && end=$(cat "${BG_LOG[$name]}.end")
    local took=$((end - BG_START[$name]))
    printf '\n==== %s\n' "$name"
    cat "${BG_LOG[$name]}"
    record "$name" "$took" "$status"
    printf '==== %s: %s (ended %s after the start of the run)\n' "$name" "$(clock "$took")" \
        "$(clock $((end - START)))"
    return "$status"
}

# The compiler cache may be shared with other builds on the machine: this
# run's own hit rate is the difference of its counters before and after.
cache_counters() {
    command -v ccache >/dev/null || return 0
    ccache --print-stats 2>/dev/null |
        awk '$1 ~ /^(direct_cache_hit|preprocessed_cache_hit)$/ { h += $2 } $1 == "cache_miss" { m += $2 }
             END { print h + 0, m + 0 }'
}
CACHE_BEFORE=""

summary() {
    printf '\n==== Stage times (stages marked "beside" ran during the next build)\n'
    local line
    for line in "${STAGES[@]}"; do
        printf '%s\n' "$line"
    done
    printf '%-34s %7s\n' "whole run" "$(clock $((SECONDS - START)))"
    printf 'Machine load at the end: %s\n' "$(uptime | sed 's/.*load average/load average/')"
    if command -v ccache >/dev/null; then
        printf '\n==== Compiler cache %s\n' "$(ccache -k cache_dir 2>/dev/null)"
        local before=($CACHE_BEFORE) after=($(cache_counters))
        if [ ${#before[@]} -eq 2 ] && [ ${#after[@]} -eq 2 ]; then
            local hits=$((after[0] - before[0])) misses=$((after[1] - before[1]))
            local calls=$((hits + misses))
            [ "$calls" -eq 0 ] ||
                printf 'While this run lasted: %d hits, %d misses of %d compilations (%d%% hits)\n' \
                    "$hits" "$misses" "$calls" $((100 * hits / calls))
        fi
        ccache -s
    fi
    if [ ${#FAILED[@]} -gt 0 ]; then
        printf '\n==== FAILED: %s\n' "$(IFS=,; printf '%s' "${FAILED[*]}" | sed 's/,/, /g')"
    fi
}

configure() { # configure DIR CMAKE-OPTIONS...
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DZANVO_WERROR=ON "$@" >"$LOGS/configure-$dir.log" 2>&1 || {
        cat "$LOGS/configure-$dir.log"
        return 1
    }
}
# Every option a tree depends on is given, since scripts/run.sh configures
# the same build folder without tests.
configure_all() {
    configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZANVO_SANITIZE= -DZANVO_BUILD_TESTS=ON \
        -DZANVO_BUILD_BENCH=ON -DZANVO_BUILD_GUI=ON -DZANVO_BUILD_SIM_EXE=ON -DZANVO_TEST_FOLDERS= &&
        configure build-asan -DCMAKE_BUILD_TYPE=Debug -DZANVO_SANITIZE=address -DZANVO_BUILD_TESTS=ON \
            -DZANVO_TEST_FOLDERS= -DZANVO_BUILD_GUI=OFF -DZANVO_BUILD_SIM_EXE=OFF -DZANVO_BUILD_BENCH=OFF &&
        configure build-tsan -DCMAKE_BUILD_TYPE=Debug -DZANVO_SANITIZE=thread -DZANVO_BUILD_TESTS=ON \
            -DZANVO_BUILD_GUI=OFF -DZANVO_BUILD_SIM_EXE=OFF -DZANVO_BUILD_BENCH=OFF \
            "-DZANVO_TEST_FOLDERS=store;responses"
}

tests() { # tests DIR
    ctest --test-dir "$1" --output-on-failure --no-tests=error -j"$JOBS"
}

# The sanitizers read their options from the environment. The suppression
# files name only what libraries we do not own do by design.
asan_tests() {
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
        LSAN_OPTIONS=suppressions=$ROOT/scripts/lsan.supp:print_suppressions=0 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        tests build-asan
}
tsan_tests() {
    TSAN_OPTIONS=suppressions=$ROOT/scripts/tsan.supp:halt_on_error=1:second_deadlock_stack=1 \
        tests build-tsan
}

run_all() {
    stage "Dependencies" ./scripts/install-deps.sh || return
    CACHE_BEFORE=$(cache_counters)
    mkdir -p "$LOGS"
    stage "Configure the three trees" configure_all || return

    stage "Build RelWithDebInfo" cmake --build build -j"$JOBS" || return
    background "Tests RelWithDebInfo (beside)" tests build
    stage "Build ASan+UBSan" cmake --build build-asan -j"$JOBS"
    local asan_built=$?
    finish "Tests RelWithDebInfo (beside)"
    if [ "$asan_built" -eq 0 ]; then
        background "Tests ASan+UBSan (beside)" asan_tests
    fi
    stage "Build TSan" cmake --build build-tsan -j"$JOBS" --target store_tests responses_tests
    local tsan_built=$?
    if [ "$asan_built" -eq 0 ]; then
        finish "Tests ASan+UBSan (beside)"
    fi
    if [ "$tsan_built" -eq 0 ]; then
        stage "Tests TSan" tsan_tests
    fi
}

run_all
summary
[ ${#FAILED[@]} -eq 0 ]
