#!/usr/bin/env bash
# Fails when one of the given programs needs Qt Widgets, Qt Gui or GIO at run time.
set -euo pipefail
status=0
for program in "$@"; do
  needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  if grep -E '^(libQt6(Widgets|Gui)|libgio-2\.0)\.so' <<<"$needed"; then
    echo "$program needs Qt Widgets, Qt Gui or GIO" >&2
    status=1
  fi
  grep -q '^libQt6Core\.so' <<<"$needed" || { echo "$program: no NEEDED entries read" >&2; status=1; }
done
[ "$status" -eq 0 ] && echo "$# programs without Qt Widgets, Qt Gui and GIO"
exit "$status"
