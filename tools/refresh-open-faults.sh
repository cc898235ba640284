#!/bin/sh
# Writes the faults still open in the comparison with both peers
# (tests/data/functions/peer-open-faults.tsv) anew from what the engine answers now: every case
# where our answer differs from both peers (or from each where they part), is no difference kept
# by design and meets no listed reference, with our present answer. Neither office is started:
# the peers' cached answers (formula-peer.tsv, formula-gnumeric.tsv) are read as they are.
#
# Run it after merging a mend of the engine: the list shrinks by the cases the mend brought into
# agreement. Review the diff before committing it: a case that joins the list, or an answer
# that changes while the case still differs, is a fault of the change, not a line to store.
#
# Usage: tools/refresh-open-faults.sh [build directory, default build]
set -e
build=${1:-build}
cmake --build "$build" --target test_bindall
BOTH_PEERS_WRITE_OPEN=1 QT_QPA_PLATFORM=offscreen "$build/test_bindall" \
    --gtest_filter=BothPeers.EveryCaseAgreesWithBothPeersOrIsKeptByDesignOrOpen
here=$(cd "$(dirname "$0")/.." && pwd)
git -C "$here" diff --stat -- tests/data/functions/peer-open-faults.tsv
