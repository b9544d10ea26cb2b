#!/usr/bin/env bash
# Fetches the csv-spectrum corpus (CSV files, each with the JSON it must read as) from the npm
# registry into a cache folder once, and prints the folder holding its csvs/ and json/. The
# version is pinned so that every run reads the same cases; npm checks the package's checksum.
set -euo pipefail
version=2.0.0
cache="${VX_TEST_CACHE:-${HOME:-/tmp}/.cache/varnodex-tests}"
target="$cache/csv-spectrum-$version"
if [ ! -f "$target/package/json/simple.json" ]; then
  mkdir -p "$cache"
  work="$(mktemp -d "$cache/.csv-spectrum.XXXXXX")"
  trap 'rm -rf "$work"' EXIT
  npm pack "csv-spectrum@$version" --pack-destination "$work" --silent >/dev/null
  tar -xzf "$work/csv-spectrum-$version.tgz" -C "$work"
  mkdir -p "$work/done"
  mv "$work/package" "$work/done/package"
  # Another run may have finished first; either copy is the same package.
  mv -T "$work/done" "$target" 2>/dev/null || true
fi
echo "$target/package"
