#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the record-file fuzzer with clang and runs it for the given number of seconds (60 by
# default). New crashes land in build-fuzz/crashes/; turn each into a regression test.
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-60}"
CXX=clang++ cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz
mkdir -p build-fuzz/corpus build-fuzz/crashes
cp fuzz/corpus/* build-fuzz/corpus/
./build-fuzz/record_fuzz -max_total_time="$seconds" -max_len=8192 -timeout=5 -rss_limit_mb=2048 \
  -artifact_prefix=build-fuzz/crashes/ -print_final_stats=1 build-fuzz/corpus
