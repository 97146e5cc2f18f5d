#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the record-file, wave-file and game-log fuzzers with clang and runs each for the given number of
# seconds (60 by default). New crashes land in build-fuzz/crashes/; turn each into a regression test.
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-60}"
CXX=clang++ cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz
mkdir -p build-fuzz/corpus build-fuzz/wave-corpus build-fuzz/log-corpus build-fuzz/crashes
cp fuzz/corpus/* build-fuzz/corpus/
cp sound/suoni/*.wav build-fuzz/wave-corpus/
cp fuzz/log-corpus/* build-fuzz/log-corpus/
for fuzzer in record wave log; do
  corpus=build-fuzz/corpus
  [ "$fuzzer" = wave ] && corpus=build-fuzz/wave-corpus
  [ "$fuzzer" = log ] && corpus=build-fuzz/log-corpus
  ./build-fuzz/${fuzzer}_fuzz -max_total_time="$seconds" -max_len=8192 -timeout=5 -rss_limit_mb=2048 \
    -artifact_prefix=build-fuzz/crashes/ -print_final_stats=1 "$corpus"
done
