#!/bin/sh
# Builds the decoder's fuzz target with clang (libFuzzer, address and undefined-
# behaviour sanitizers) and runs it for a while. Usage: tests/fuzz/run.sh [SECONDS]
set -e
seconds=${1:-60}
command -v clang++ >/dev/null || { echo "clang++ not found: no fuzzing" >&2; exit 0; }
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -I"$top" \
  "$top/tests/fuzz/decode_fuzz.cpp" "$top/decode/lzhuf.cpp" "$top/decode/lzhuf_model.cpp" \
  "$top/tests/host/decode/literal_decoder.cpp" "$top/engine/feedback_none.cpp" \
  -o "$work/decode_fuzz"
mkdir "$work/corpus"
"$work/decode_fuzz" -max_total_time="$seconds" -max_len=4096 "$work/corpus"
