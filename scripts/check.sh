#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Source checks CI runs before the tests: every C++ file formatted by .clang-format, and no
# include pointing up the layer order. `scripts/check.sh --fix` formats the files instead.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t sources < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${sources[@]}"
  exit 0
fi
status=0
if ! clang-format --dry-run -Werror "${sources[@]}" 2>/tmp/tarn-format.$$; then
  grep 'error:' /tmp/tarn-format.$$ | cut -d: -f1 | sort -u | sed 's/^/unformatted: /'
  echo "check: run scripts/check.sh --fix to format these files" >&2
  status=1
fi
rm -f /tmp/tarn-format.$$
python3 scripts/check-layers.py || status=1
exit $status
