#!/usr/bin/env bash
# The manual pages: man and groff read them without a warning, and they name
# every command and long option the two programs' --help lists.
#   check-manpages.sh MAN_DIR MOLTRIX_CLI MOLTRIX    exit 0 passed, 1 failed, 77 skipped
set -euo pipefail
dir=$1 cli=$2 gui=$3
command -v man >/dev/null || { echo "SKIP: man is not installed"; exit 77; }
status=0
for page in "$dir"/moltrix.1 "$dir"/moltrix-cli.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "FAIL: $page: $warnings"; status=1; }
done
# What --help lists, against what the page says ("-" is "\-" in a page).
covers() {  # PAGE HELP_TEXT
  local page=$1 help=$2 name
  for name in $(grep -oE -- '--[a-z][a-z-]+' <<<"$help" | sort -u) \
              $(sed -n '/^Commands:/,/^[A-Z]/p' <<<"$help" | grep -oE '^  [a-z][a-z-]+' | sort -u); do
    grep -qF -- "${name//-/\\-}" "$page" || { echo "FAIL: $page does not name $name"; status=1; }
  done
}
covers "$dir"/moltrix-cli.1 "$("$cli" --help)"
covers "$dir"/moltrix.1 "$(QT_QPA_PLATFORM=offscreen "$gui" --help)"
[ "$status" -eq 0 ] && echo "PASS: both pages read cleanly and name every command and option"
exit "$status"
