#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what a desktop needs of it: the
# programs, a valid desktop entry, the icon it names and the archive type it opens.
# Usage: InstallTreeTest.sh BUILD_FOLDER "PROGRAM..."
set -euo pipefail
build=$1
read -r -a programs <<<"$2"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null

# Exactly these files: nothing missing, and no library, header or test tool slipped in.
expected=(share/applications/pelloran.desktop share/mime/packages/pelloran.xml
  share/icons/hicolor/32x32/apps/pelloran.png)
for program in "${programs[@]}"; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
  expected+=("bin/$program")
done
installed=$(cd "$prefix" && find . -type f -printf '%P\n' | sort)
diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$installed") \
  || fail "installed files (right) differ from the expected ones (left)"

entry=$prefix/share/applications/pelloran.desktop
report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate: $report"
key() { sed -n "s/^$1=//p" "$entry"; }

exec_line=$(key Exec)
[[ $exec_line =~ ^([a-z]+)\ %f$ ]] || fail "Exec=$exec_line should start one program on one file"
[ -x "$prefix/bin/${BASH_REMATCH[1]}" ] || fail "Exec names ${BASH_REMATCH[1]}, not installed"

[ -f "$prefix/share/icons/hicolor/32x32/apps/$(key Icon).png" ] \
  || fail "Icon=$(key Icon) names no installed icon"

# The types the entry opens are known to the shared MIME database and match *.xcr files.
report=$(XDG_DATA_DIRS=$prefix/share update-mime-database "$prefix/share/mime" 2>&1) \
  || fail "update-mime-database: $report"
[ -z "$report" ] || fail "update-mime-database: $report"
IFS=';' read -r -a types <<<"$(key MimeType)"
[ ${#types[@]} -gt 0 ] || fail "the desktop entry declares no MimeType"
for type in "${types[@]}"; do
  grep -qx "[0-9]*:$type:\*\.xcr" "$prefix/share/mime/globs2" || fail "$type does not match *.xcr"
done
echo "install tree: ${expected[*]}"
