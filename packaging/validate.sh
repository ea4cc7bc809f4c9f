#!/usr/bin/env bash
# Checks the files that put PELKAR on a Linux desktop with the distribution's own tools: the
# desktop entry with desktop-file-validate (no hint either), the AppStream metadata with
# appstreamcli (without the network), and that each manual page renders without a warning.
#
#   packaging/validate.sh DESKTOP_ENTRY METAINFO MANUAL_PAGE...
set -euo pipefail

if [ $# -lt 3 ]; then
  echo "usage: $0 DESKTOP_ENTRY METAINFO MANUAL_PAGE..." >&2
  exit 2
fi
desktop_entry="$1"
metainfo="$2"
shift 2

fail() {
  echo "validate: $*" >&2
  exit 1
}

report="$(desktop-file-validate "$desktop_entry" 2>&1)" || fail "$desktop_entry: $report"
[ -z "$report" ] || fail "$desktop_entry: $report"
echo "validate: $desktop_entry passes desktop-file-validate"

appstreamcli validate --no-net "$metainfo" || fail "$metainfo does not pass appstreamcli"
echo "validate: $metainfo passes appstreamcli validate"

for page in "$@"; do
  warnings="$(mktemp)"
  text="$(MANWIDTH=80 man --warnings -l "$page" 2>"$warnings")" || fail "$page: man failed"
  [ ! -s "$warnings" ] || fail "$page: $(cat "$warnings")"
  rm -f "$warnings"
  for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS"; do
    grep -qx "$section" <<<"$text" || fail "$page renders without the section $section"
  done
  echo "validate: $page renders with man"
done
