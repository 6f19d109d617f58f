#!/usr/bin/env bash
# Installs a build as a package stages it and checks what a desktop needs of it: the
# programs, a valid desktop entry, the icons it names at every size, the archive type it
# opens, the manual pages and completions that agree with --help, the AppStream metainfo.
# Installed to a plain prefix, the type must be known at once.
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
expected=(share/applications/pelloran.desktop share/mime/packages/pelloran.xml
  share/metainfo/org.example.qeltmod.pelloran.metainfo.xml $icons/scalable/apps/pelloran.svg
  share/doc/pelloran/copyright share/doc/pelloran/changelog.gz
  share/bash-completion/completions/xcrtool share/zsh/vendor-completions/_xcrtool
  share/fish/vendor_completions.d/xcrtool.fish)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("$icons/${size}x$size/apps/pelloran.png")
done
for program in "${programs[@]}"; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
  expected+=("bin/$program" "share/man/man1/$program.1.gz")
done
installed=$(cd "$prefix" && find . -type f -printf '%P\n' | sort)
diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$installed") \
  || fail "installed files (right) differ from the expected ones (left)"

for size in 16 22 24 32 48 64 128 256; do
  file -b "$prefix/$icons/${size}x$size/apps/pelloran.png" | grep -q "^PNG image data, $size x $size," \
    || fail "the ${size}x$size icon is no PNG of that size"
done

entry=$prefix/share/applications/pelloran.desktop
report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate: $report"
key() { sed -n "s/^$1=//p" "$entry"; }

exec_line=$(key Exec)
[[ $exec_line =~ ^([a-z]+)\ %f$ ]] || fail "Exec=$exec_line should start one program on one file"
[ -x "$prefix/bin/${BASH_REMATCH[1]}" ] || fail "Exec names ${BASH_REMATCH[1]}, not installed"

[ -f "$prefix/$icons/32x32/apps/$(key Icon).png" ] || fail "Icon=$(key Icon) names no installed icon"

report=$(appstreamcli validate --no-net "$prefix"/share/metainfo/*.xml 2>&1) \
  || fail "appstreamcli validate: $report"

# Every option --help names, for the program and for each xcrtool command (no display
# needed), is in the manual page without warnings, and in each xcrtool completion.
options_of() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$@" --help \
    | grep -oE -- '(^|[ ,])--?[A-Za-z][A-Za-z-]*' | tr -d ' ,'
}
has() { grep -qE -- "(^|[^A-Za-z-])$1([^A-Za-z-]|\$)" <<<"$2"; }
for program in "${programs[@]}"; do
  page=$prefix/share/man/man1/$program.1.gz
  report=$(LC_ALL=C man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$report" ] || fail "man $program: $report"
  manual=$(LC_ALL=C MANWIDTH=200 man -l "$page")
  commands=("")
  [ "$program" = pelloran ] || commands+=(list extract replace check)
  for command in "${commands[@]}"; do
    for option in $(options_of "$program" $command); do
      has "$option" "$manual" || fail "$program(1) lacks $option of $program $command"
      [ "$program" = pelloran ] && continue
      for file in completions/xcrtool vendor-completions/_xcrtool; do
        has "$option" "$(cat "$prefix"/share/*/$file)" || fail "$file lacks $option"
      done
      fish=$([[ $option == --* ]] && echo "-l ${option#--}" || echo "-s ${option#-}")
      has "$fish" "$(cat "$prefix/share/fish/vendor_completions.d/xcrtool.fish")" \
        || fail "xcrtool.fish lacks $option"
    done
  done
done

# A plain prefix learns the types the entry opens at once; they match *.xcr files and open
# with the program.
cmake --install "$build" --prefix "$root/plain" >/dev/null 2>&1
IFS=';' read -r -a types <<<"$(key MimeType)"
[ ${#types[@]} -gt 0 ] || fail "the desktop entry declares no MimeType"
for type in "${types[@]}"; do
  grep -qx "[0-9]*:$type:\*\.xcr" "$root/plain/share/mime/globs2" || fail "$type does not match *.xcr"
  grep -qx "$type=pelloran.desktop;" "$root/plain/share/applications/mimeinfo.cache" \
    || fail "$type does not open with pelloran.desktop"
done
echo "install tree: ${expected[*]}"
