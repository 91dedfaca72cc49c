# What the scripts that check the project, or set up what its tests need,
# share: their messages, their failure and skip, a work folder that goes
# however the script ends, and sessions on a virtual display. Sourced first,
# before the script changes folder (it knows the script by $0):
#   source "$(dirname "$(realpath "$0")")/checks.sh" NAME
# NAME begins every message.

checks_name=$1
checks_script=$(realpath "$0")

# step MESSAGE: what has been checked, on standard error.
step() { echo "$checks_name: $*" >&2; }

# fail MESSAGE: the check failed; the script ends with status 1.
fail() { echo "$checks_name: FAILED: $*" >&2; exit 1; }

# cannot_set_up REASON REQUIRED_VARIABLE: what the tests need could not be
# made. As root everything it takes is at hand (./test.sh installs what is
# missing), so that is a fault and the script fails. Without root it is not
# the project's: the tests are skipped (status 77, which ctest shows as
# skipped) with the reason said, unless REQUIRED_VARIABLE is 1.
cannot_set_up() {
    local required=$2
    if [ "$(id -u)" = 0 ] || [ "${!required:-0}" = 1 ]; then fail "$1"; fi
    echo "$checks_name: SKIPPED, not run as root: $1" >&2
    exit 77
}

# check_run_usage "$@": the wrappers' command line, run -- COMMAND [ARG...];
# the wrapper then shifts the first two away.
check_run_usage() {
    if [ "${1:-}" != run ] || [ "${2:-}" != -- ] || [ $# -lt 3 ]; then
        echo "usage: $checks_script run -- COMMAND [ARG...]" >&2
        exit 2
    fi
}

# make_work_folder [CLEANUP]: $work, a fresh temporary folder named after the
# script, removed when the script ends, also after a failure or a signal; the
# function CLEANUP, when given, runs first.
make_work_folder() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/$checks_name.XXXXXX")
    work_cleanup=${1:-}
    trap remove_work_folder EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
}
remove_work_folder() {
    if [ -n "$work_cleanup" ]; then "$work_cleanup" || true; fi
    rm -rf "$work"
}

# end_process [PID]: ends a background process of the script, if there is
# one, and waits for it.
end_process() {
    if [ -n "${1:-}" ]; then
        kill "$1" 2>/dev/null || true
        wait "$1" 2>/dev/null || true
    fi
}

# on_virtual_display FUNCTION [ARG...]: runs one function of the script on a
# virtual X display. xvfb-run starts the script again, which then runs that
# function alone: the script calls run_display_session "$@" once its
# functions are defined, before it does anything else.
on_virtual_display() {
    xvfb-run -a -s "-screen 0 1024x768x24" "$checks_script" --on-virtual-display "$@"
}
run_display_session() {
    [ "${1:-}" = --on-virtual-display ] || return 0
    shift
    "$@"
    exit
}

# open_help_contents TITLE SECONDS: types Help > Contents into the window
# called TITLE and waits for its help window, within SECONDS. On a busy
# machine the menu can open after the next key has gone by, so the keys are
# typed again until the help window shows.
open_help_contents() {
    local window deadline=$((SECONDS + $2))
    window=$(timeout "$2" xdotool search --sync --name "^$1\$" | head -1)
    [ -n "$window" ] || return 1
    while [ "$SECONDS" -lt "$deadline" ]; do
        xdotool windowfocus --sync "$window" key alt+h
        sleep 1
        xdotool key c
        timeout 5 xdotool search --sync --name "^$1 Help\$" >/dev/null && return 0
        # A menu left open.
        xdotool key Escape
    done
    return 1
}
