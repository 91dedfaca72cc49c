# What the scripts that check the project share: their messages, their
# failure, a work folder that goes however the script ends, and sessions on a
# virtual display. Sourced first, before the script changes folder (it knows
# the script by $0):
#   source "$(dirname "$(realpath "$0")")/checks.sh" NAME
# NAME begins every message.

checks_name=$1
checks_script=$(realpath "$0")

# step MESSAGE: what has been checked, on standard error.
step() { echo "$checks_name: $*" >&2; }

# fail MESSAGE: the check failed; the script ends with status 1.
fail() { echo "$checks_name: FAILED: $*" >&2; exit 1; }

# make_work_folder [CLEANUP]: $work, a fresh temporary folder, removed when
# the script ends, also after a failure or a signal; the function CLEANUP,
# when given, runs first.
make_work_folder() {
    work=$(mktemp -d)
    work_cleanup=${1:-}
    trap remove_work_folder EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
}
remove_work_folder() {
    if [ -n "$work_cleanup" ]; then "$work_cleanup" || true; fi
    rm -rf "$work"
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
# called TITLE and waits for its help window, each for up to SECONDS.
open_help_contents() {
    local window
    window=$(timeout "$2" xdotool search --sync --name "^$1\$" | head -1)
    xdotool windowfocus --sync "$window" key alt+h
    sleep 0.5
    xdotool key c
    timeout "$2" xdotool search --sync --name "^$1 Help\$" >/dev/null
}
