#!/usr/bin/env bash
# The POSIX install and its .deb: the expected files, a valid desktop entry that never
# offers the program as a browser, a manual page without warnings, a lintian-clean package
# holding the very program that was tested. Arguments: BUILD_DIR PROGRAM
. "$(dirname "$0")/../checks.sh"
build=$1 program=$2

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null || fail "cmake --install"
expected="usr/bin/link-unwrapper
usr/share/applications/link-unwrapper.desktop
usr/share/doc/link-unwrapper/changelog.gz
usr/share/doc/link-unwrapper/copyright
usr/share/man/man1/link-unwrapper.1.gz"
installed=$(cd "$work/root" && find . -type f | sed 's|^\./||' | sort)
[ "$installed" = "$expected" ] || fail "installed files:"$'\n'"$installed"
expect_same_file "installed program" "$work/root/usr/bin/link-unwrapper" "$program"

desktop="$work/root/usr/share/applications/link-unwrapper.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Exec=link-unwrapper %u' "$desktop" || fail "Exec line"
grep -qx 'NoDisplay=true' "$desktop" || fail "NoDisplay line"
! grep -qi '^MimeType=.*x-scheme-handler/http' "$desktop" || fail "offers itself for http links"

manual="$work/root/usr/share/man/man1/link-unwrapper.1.gz"
warnings=$(zcat "$manual" | groff -man -ww -z 2>&1)
[ -z "$warnings" ] || fail "groff warnings: $warnings"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$manual" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man warnings: $warnings"
! zcat "$manual" | grep -q '@[A-Z_]*@' || fail "placeholders left in the manual"

(cd "$build" && cpack -G DEB -B "$work/packages" >/dev/null) || fail "cpack"
deb=$(ls "$work"/packages/link-unwrapper_*.deb 2>/dev/null)
if [ -n "$deb" ]; then
  echo "$(dpkg-deb -f "$deb" Package Version Depends Recommends | tr '\n' ' ')"
  [ "$(dpkg-deb -f "$deb" Recommends)" = "xdg-utils, libglib2.0-0t64 | libglib2.0-0" ] ||
    fail "Recommends"
  dpkg-deb -f "$deb" Depends | grep -q '^libc6' || fail "Depends"
  dpkg-deb -x "$deb" "$work/unpacked"
  expect_same_file "packaged program" "$work/unpacked/usr/bin/link-unwrapper" "$program"
  expect_lintian_clean "$deb"
else
  fail "no .deb"
fi
finish
