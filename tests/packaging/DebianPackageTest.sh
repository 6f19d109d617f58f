#!/usr/bin/env bash
# Builds the Debian package of a build into a temporary folder: lintian must report no
# error and no warning on it, and no hardening tag (other informational tags may stay).
# Usage: DebianPackageTest.sh BUILD_FOLDER
set -euo pipefail
command -v lintian >/dev/null || { echo "FAIL: lintian is missing (scripts/setup.sh)" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$1/CPackConfig.cmake" -G DEB -B "$out" >/dev/null
report=$(lintian -I --tag-display-limit 0 "$out"/*.deb 2>&1 | grep -E '^[EW]: |hardening' || true)
[ -z "$report" ] || { echo "FAIL: lintian found: $report" >&2; exit 1; }
echo "lintian: no error, warning or hardening tag"
