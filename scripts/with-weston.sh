#!/usr/bin/env bash
# Runs a command on a Wayland display of its own: a headless Weston that draws into memory,
# so Qt programs run on the "wayland" platform without a screen, a GPU or a seat.
#
#   scripts/with-weston.sh [--expect-tests] CMD ARGS...
#
# Exits with CMD's status. --expect-tests is for googletest programs: the run also fails when
# it passed no test at all, which is how googletest ends when its filter selects nothing.
#
# Weston keeps its socket and log in a private folder (mode 0700, as Wayland requires) that is
# removed on exit. CMD keeps its own XDG_RUNTIME_DIR and finds the socket by its full path in
# WAYLAND_DISPLAY. The same works for root (as in CI) and for other users: the headless
# backend needs no tty, no logind seat and no input devices.
set -euo pipefail

expect_tests=0
if [ "${1:-}" = "--expect-tests" ]; then
    expect_tests=1
    shift
fi
if [ $# -eq 0 ]; then
    echo "usage: $0 [--expect-tests] CMD ARGS..." >&2
    exit 2
fi

# Seconds to wait for Weston's socket; it appears within a fraction of one.
start_timeout=${EXAMO_WESTON_TIMEOUT:-30}

runtime=$(mktemp -d "${TMPDIR:-/tmp}/examo-weston.XXXXXX")
chmod 0700 "$runtime"
socket=wayland-examo
log="$runtime/weston.log"
weston_pid=""

# What Weston said: its log, and what it printed before the log was open.
show_log() {
    cat "$log" "$runtime/weston.out" >&2 2>/dev/null || true
}
stop_weston() {
    if [ -n "$weston_pid" ] && kill -0 "$weston_pid" 2>/dev/null; then
        kill -TERM "$weston_pid" 2>/dev/null || true
        wait "$weston_pid" 2>/dev/null || true
    fi
    weston_pid=""
}
cleanup() {
    stop_weston
    rm -rf "$runtime"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# No weston.ini (the user's would change the shell or the output), no screen blanking.
XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --use-pixman --no-config \
    --socket="$socket" --idle-time=0 --log="$log" </dev/null >"$runtime/weston.out" 2>&1 &
weston_pid=$!

waited=0
until [ -S "$runtime/$socket" ]; do
    if ! kill -0 "$weston_pid" 2>/dev/null; then
        echo "with-weston: weston exited before its socket appeared; its log:" >&2
        show_log
        exit 1
    fi
    if [ "$waited" -ge $((start_timeout * 10)) ]; then
        echo "with-weston: no socket $runtime/$socket after ${start_timeout}s; weston's log:" >&2
        show_log
        exit 1
    fi
    sleep 0.1
    waited=$((waited + 1))
done

export WAYLAND_DISPLAY="$runtime/$socket"
export QT_QPA_PLATFORM=wayland
unset DISPLAY
# Wayland clients want a runtime folder; a caller without one gets Weston's.
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$runtime}"

status=0
if [ "$expect_tests" -eq 1 ]; then
    output="$runtime/output.txt"
    # The pipeline's own status is tee's; the command's is read from PIPESTATUS.
    set +o pipefail
    "$@" 2>&1 | tee "$output"
    status=${PIPESTATUS[0]}
    set -o pipefail
    if [ "$status" -eq 0 ] && ! grep -Eq '^\[  PASSED  \] [1-9][0-9]* tests?\.' "$output"; then
        echo "with-weston: the command passed no test (does its filter select any?)" >&2
        status=1
    fi
else
    "$@" || status=$?
fi

stop_weston
exit "$status"
