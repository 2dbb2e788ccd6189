#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each on a scratch copy of its
# seeds. Inputs that crash a target are kept in fuzz/<name>/crashes, where the tests replay
# them with the seeds.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     default: 60 seconds each, every target
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh

seconds=${1:-60}
shift || true
declare -A seeds=([talvo-sec-fuzz]=secure-message [talvo-sim-state-fuzz]=key-state
                  [talvo-csp-registry-fuzz]=csp-registry [talvo-cert-fuzz]=certificate
                  [talvo-token-uri-fuzz]=token-reference [talvo-token-payload-fuzz]=token-payload
                  [talvo-key-fields-fuzz]=key-fields [talvo-seal-picture-fuzz]=seal-picture
                  [talvo-pdf-fuzz]=pdf-sealing)
declare -A maxlen=([talvo-sec-fuzz]=6000 [talvo-sim-state-fuzz]=4096 [talvo-csp-registry-fuzz]=1024
                   [talvo-cert-fuzz]=4096 [talvo-token-uri-fuzz]=1024 [talvo-token-payload-fuzz]=4096
                   [talvo-key-fields-fuzz]=1024 [talvo-seal-picture-fuzz]=16384 [talvo-pdf-fuzz]=16384)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(talvo-sec-fuzz talvo-sim-state-fuzz talvo-csp-registry-fuzz talvo-cert-fuzz
                                     talvo-token-uri-fuzz talvo-token-payload-fuzz talvo-key-fields-fuzz
                                     talvo-seal-picture-fuzz talvo-pdf-fuzz)

build=${TALVO_FUZZ_BUILD_DIR:-build-fuzz}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
      -DCMAKE_CXX_COMPILER=clang++ -DTALVO_FUZZ=ON -DTALVO_BUILD_TESTS=OFF -DTALVO_BUILD_BENCHMARKS=OFF
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

for target in "${targets[@]}"; do
  name=${seeds[$target]:?unknown target $target}
  corpus=$(mktemp -d)
  cp -r "fuzz/$name/corpus/." "$corpus"
  echo "== $target: $seconds s"
  "$build/bin/$target" -max_total_time="$seconds" -max_len="${maxlen[$target]}" \
      -artifact_prefix="fuzz/$name/crashes/" "$corpus"
  rm -rf "$corpus"
done
