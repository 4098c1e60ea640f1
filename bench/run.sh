#!/bin/sh
# Runs every benchmark program of a host build and prints its figures.
# Usage: bench/run.sh HOST_BUILD_DIR
set -e
root=${1:?usage: bench/run.sh HOST_BUILD_DIR}
# The encoder's whole-product figures use the sample product that the Windows
# build generates next to the host build, unless another folder is named.
if [ -z "${VORN_BENCH_PRODUCT:-}" ] && [ -d "$root/../win32/product" ]; then
  VORN_BENCH_PRODUCT=$(cd "$root/../win32/product" && pwd)
  export VORN_BENCH_PRODUCT
fi
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT

found=0
for program in $(find "$root/bench" -type f -perm -u+x ! -path '*/CMakeFiles/*' | sort); do
  found=1
  name=$(basename "$program")
  echo "== $name"
  "$program" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$results/$name.json" --benchmark_out_format=json
  echo
done
[ "$found" = 1 ] || { echo "no benchmark programs under $root/bench" >&2; exit 1; }

# Side-by-side figures: the decoder against the literal decoder, same input, same run.
python3 - "$results" <<'PY'
import json, os, sys
speeds = {}
for name in sorted(os.listdir(sys.argv[1])):
    with open(os.path.join(sys.argv[1], name)) as f:
        for b in json.load(f)["benchmarks"]:
            if b.get("aggregate_name") == "median" and "bytes_per_second" in b:
                speeds[b["run_name"]] = b["bytes_per_second"] / 1e6
for run, mbs in speeds.items():
    if run.startswith("BM_Decode/"):
        base = speeds.get(run.replace("BM_Decode/", "BM_LiteralDecode/", 1))
        if base:
            print("%-24s %7.1f MB/s, literal %7.1f MB/s, ratio %.2f" % (run, mbs, base, mbs / base))
    elif not run.startswith("BM_LiteralDecode/"):
        print("%-24s %7.1f MB/s" % (run, mbs))
PY
