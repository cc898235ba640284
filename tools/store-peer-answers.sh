#!/bin/sh
# Stores our answers to the differences the formula comparison accepts
# (tests/data/functions/peer-accepted-answers.tsv). Run it after a change that is meant to
# change them, once the comparison's own failures are read: it writes what the engine answers
# now. Usage: tools/store-peer-answers.sh [build directory, default build]
set -e
build=${1:-build}
cmake --build "$build" --target test_bindall
FORMULA_PEER_STORE=1 QT_QPA_PLATFORM=offscreen "$build/test_bindall" \
    --gtest_filter=FormulaPeer.EveryCaseAgreesWithThePeerOrIsListed
