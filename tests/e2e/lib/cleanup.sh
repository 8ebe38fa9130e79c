# One EXIT trap for a script and every library it sources: each adds what it
# must undo with cleanup_add, and all of it runs when the script ends, last
# added first, whether it passed, failed or was killed by TERM, INT or HUP.
#
#   source "$QN_SOURCE_DIR/tests/e2e/lib/cleanup.sh"
#   work=$(mktemp -d); cleanup_add rm -rf "$work"
#
# A library that needs undoing sources this itself; sourcing it twice keeps
# the list.

if ! declare -F cleanup_add >/dev/null; then
  CLEANUP_STEPS=()
  # The words of one step, quoted so that eval gives them back unchanged.
  cleanup_add() { CLEANUP_STEPS=("$(printf '%q ' "$@")" "${CLEANUP_STEPS[@]}"); }
  cleanup_run() {
    local step
    for step in "${CLEANUP_STEPS[@]}"; do eval "$step" || true; done
    CLEANUP_STEPS=()
  }
  trap cleanup_run EXIT
  trap 'exit 129' HUP
  trap 'exit 130' INT
  trap 'exit 143' TERM
fi
