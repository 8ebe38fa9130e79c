# qn with SDL's dummy video driver: no X server, same trace, status 0.
set -euo pipefail
source "$QN_SOURCE_DIR/tests/e2e/lib/qn.sh"
unset DISPLAY
export SDL_VIDEODRIVER=dummy
prepare_data good
start_qn -w
end_qn term
[ "$QN_STATUS" = 0 ] || fail "status $QN_STATUS"
check_trace
echo ok
