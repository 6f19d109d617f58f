#!/usr/bin/env bash
# Installs a build as a package stages it and checks what a desktop needs of it: the
# programs, their manual pages and completions, a valid desktop entry, its icon at every size,
# the AppStream metainfo and the archive type it opens, known at once in a plain prefix.
# Usage: InstallTreeTest.sh BUILD_FOLDER "PROGRAM..."
set -euo pipefail
build=$1
read -r -a programs <<<"$2"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Staged for a package (DESTDIR), nothing but the install rules' files lands there.
DESTDIR=$root/staged cmake --install "$build" --prefix /usr >/dev/null
prefix=$root/staged/usr

# Exactly these files: nothing missing, and no library, header or test tool slipped in.
icons=share/icons/hicolor
completions=(bash-completion/completions/xcrtool zsh/vendor-completions/_xcrtool
  fish/vendor_completions.d/xcrtool.fish)
expected=(share/applications/pelloran.desktop share/mime/packages/pelloran.xml
  share/metainfo/org.example.qeltmod.pelloran.metainfo.xml $icons/scalable/apps/pelloran.svg
  share/doc/pelloran/copyright share/doc/pelloran/changelog.gz "${completions[@]/#/share/}")
for size in 16 22 24 32 48 64 128 256; do
  expected+=("$icons/${size}x$size/apps/pelloran.png")
  file -b "$prefix/${expected[-1]}" | grep -q "^PNG image data, $size x $size," \
    || fail "${expected[-1]} is no PNG of that size"
done
for program in "${programs[@]}"; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
  expected+=("bin/$program" "share/man/man1/$program.1.gz")
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

[ -f "$prefix/$icons/32x32/apps/$(key Icon).png" ] \
  || fail "Icon=$(key Icon) names no installed icon"

report=$(appstreamcli validate --no-net "$prefix"/share/metainfo/*.xml 2>&1) \
  || fail "appstreamcli validate: $report"

# Every option --help names, for the program and for each xcrtool command (no display
# needed), is in the manual page, which man reads without a warning, and each completion.
options_of() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$@" --help \
    | grep -oE -- '(^|[ ,])--?[A-Za-z][A-Za-z-]*' | tr -d ' ,'
}
has() { grep -qE -- "(^|[^A-Za-z-])$1([^A-Za-z-]|\$)" "$2"; }
for program in "${programs[@]}"; do
  page=$prefix/share/man/man1/$program.1.gz
  report=$(LC_ALL=C man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$report" ] || fail "man $program: $report"
  LC_ALL=C MANWIDTH=200 man -l "$page" >"$root/manual"
  for command in "" $([ "$program" = pelloran ] || echo list extract replace history undo check diff apply patch-info); do
    for option in $(options_of "$program" $command); do
      has "$option" "$root/manual" || fail "$program(1) lacks $option of $program $command"
      for file in $([ "$program" = pelloran ] || echo "${completions[@]}"); do
        name=${option#-}
        has "(--?|-[sl] )${name#-}" "$prefix/share/$file" || fail "$file lacks $option"
      done
    done
  done
done

# A plain prefix learns the types the entry opens at once; they match *.xcr files (mod
# patches *.xcrpatch, a type of their own) and open with the program.
cmake --install "$build" --prefix "$root/plain" >/dev/null 2>&1
IFS=';' read -r -a types <<<"$(key MimeType)"
[ ${#types[@]} -gt 0 ] || fail "the desktop entry declares no MimeType"
[[ " ${types[*]} " == *" application/x-xcr-patch "* ]] || fail "mod patches have no MimeType"
for type in "${types[@]}"; do
  glob='\*\.xcr'
  [ "$type" = application/x-xcr-patch ] && glob='\*\.xcrpatch'
  grep -qx "[0-9]*:$type:$glob" "$root/plain/share/mime/globs2" \
    || fail "$type does not match ${glob//\\/}"
  grep -qx "$type=pelloran.desktop;" "$root/plain/share/applications/mimeinfo.cache" \
    || fail "$type does not open with pelloran.desktop"
done
echo "install tree: ${expected[*]}"
