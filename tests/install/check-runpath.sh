#!/usr/bin/env bash
# Fails when an ELF file under the given directories carries an RPATH or RUNPATH element that is
# empty or relative: the loader reads it against the working directory. $ORIGIN-based elements
# are fine. Files whose path ends in one of the --except suffixes are passed over.
# Usage: check-runpath.sh [--except SUFFIX]... DIRECTORY...
set -euo pipefail

except=()
while [ "${1:-}" = "--except" ]; do
  except+=("$2")
  shift 2
done
[ $# -gt 0 ] || { echo "usage: $0 [--except SUFFIX]... DIRECTORY..." >&2; exit 2; }

checked=0
bad=0
while IFS= read -r -d '' file; do
  [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
  for suffix in "${except[@]}"; do
    [[ "$file" == *"$suffix" ]] && continue 2
  done
  checked=$((checked + 1))
  while IFS= read -r line; do
    # "... Library runpath: [a:b]"
    paths=${line#*[}
    paths=${paths%]}
    IFS=: read -r -a elements <<< "$paths:"
    if [[ "$paths" == :* || "$paths" == *: || "$paths" == *::* ]]; then
      echo "$file: empty element in [$paths]"
      bad=$((bad + 1))
      continue
    fi
    for element in "${elements[@]}"; do
      case "$element" in
        /* | '$ORIGIN'* | '${ORIGIN}'*) ;;
        *) echo "$file: relative element \"$element\" in [$paths]"; bad=$((bad + 1)) ;;
      esac
    done
  done < <(LC_ALL=C readelf -d "$file" 2>/dev/null | grep -E '\((RPATH|RUNPATH)\)' || true)
done < <(find "$@" -path '*/CMakeFiles' -prune -o -type f \( -perm -u+x -o -name '*.so' -o -name '*.so.*' \) -print0)

if [ "$checked" -eq 0 ]; then
  echo "no ELF files found under $*" >&2
  exit 1
fi
if [ "$bad" -gt 0 ]; then
  echo "$bad loose search path element(s) in $checked ELF files" >&2
  exit 1
fi
echo "$checked ELF files, none with an empty or relative RPATH/RUNPATH element"
