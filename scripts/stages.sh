# Sourced by test.sh. `stage NAME COMMAND...` runs one stage and says when it starts;
# `run_ctest ARGS...` runs ctest and counts its tests; a caller's local array `ctest_command`, if
# set, is run in its place (ctest as another user, say). When the script ends, passed or failed,
# one line sums up the stages that ran, the tests and the time.
stages_began=$SECONDS
stages_done=()
stage_running=
tests_passed=0
tests_failed=()

clock() { printf '%d:%02d' $(($1 / 60)) $(($1 % 60)); }

stage() {
    local began=$SECONDS
    stage_running=$1
    echo "== $1 (at $(clock $((began - stages_began))))"
    "${@:2}"
    stages_done+=("$1 $(clock $((SECONDS - began)))")
    stage_running=
}

run_ctest() {
    local log status=0
    log=$(mktemp)
    "${ctest_command[@]:-ctest}" "$@" | tee "$log" || status=$?
    local total failed
    total=$(sed -n 's/.* tests failed out of \([0-9]*\)$/\1/p' "$log")
    # A filter that matches nothing runs no test, and ctest calls that a success.
    if [ "${total:-0}" -eq 0 ]; then
        echo "No test ran: $*" >&2
        status=1
    fi
    failed=$(sed -n 's/.*, \([0-9]*\) tests failed out of .*/\1/p' "$log")
    tests_passed=$((tests_passed + ${total:-0} - ${failed:-0}))
    failed=$(sed -n '/^The following tests FAILED:/,$ s/^\s*[0-9]* - \(.*\) (.*)$/\1/p' "$log")
    [ -z "$failed" ] || mapfile -t -O ${#tests_failed[@]} tests_failed <<<"$failed"
    rm -f "$log"
    return $status
}

stages_summary() {
    local status=$? ran failed time tests="tests: $tests_passed passed"
    printf -v ran '%s, ' "${stages_done[@]}"
    ran=${ran%, }
    printf -v failed '%s, ' "${tests_failed[@]}"
    [ ${#tests_failed[@]} -eq 0 ] || tests+=", failed: ${failed%, }"
    time=$(clock $((SECONDS - stages_began)))
    if [ $status -eq 0 ] && [ -z "$stage_running" ]; then
        echo "== All passed in $time ($ran); $tests."
    else
        echo "== FAILED at ${stage_running:-the start} after $time (passed before it: ${ran:-none});" \
            "$tests."
    fi
}
trap stages_summary EXIT
