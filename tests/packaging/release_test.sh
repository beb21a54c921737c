#!/usr/bin/env bash
# tools/release twice, from two clones of HEAD at different paths, one after the other, under
# a different umask, time zone and locale: dist/ must be byte for byte the same. Then the
# packages themselves: sums that verify, an .rpm that rpmlint finds no error in but the
# missing signature, a lintian-clean .deb, and a manual page naming the configured hosts.
# Arguments: the configure arguments to release with, host names among them. Run by
# tools/check, which installs rpmlint, lintian and diffoscope.
. "$(dirname "$0")/../checks.sh"
top=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)

first=$work/first/link-unwrapper second=$work/somewhere/else/second
git clone -q "$top" "$first" && git clone -q "$top" "$second" || exit 1
# A misspelt host setting stops it, before anything is built for the placeholder hosts.
(cd "$first" && tools/release -DLINK_UNWRAPPER_REDIRECTOR1=go.example) >"$work/misspelt.log" 2>&1 &&
  fail "tools/release went on with a misspelt -D"
grep -q 'not a setting of this project: LINK_UNWRAPPER_REDIRECTOR1$' "$work/misspelt.log" ||
  fail "no message naming the misspelt -D: $(tail -n 5 "$work/misspelt.log")"
(cd "$first" && umask 022 && TZ=UTC LC_ALL=C.UTF-8 tools/release "$@") >"$work/first.log" 2>&1 ||
  fail "first release: $(tail -n 20 "$work/first.log")"
(cd "$second" && umask 002 && TZ=Asia/Tokyo LC_ALL=ja_JP.UTF-8 tools/release "$@") \
  >"$work/second.log" 2>&1 || fail "second release: $(tail -n 20 "$work/second.log")"

if ! cmp -s "$first/dist/SHA256SUMS" "$second/dist/SHA256SUMS"; then
  fail "the two releases differ"
  diff "$first/dist/SHA256SUMS" "$second/dist/SHA256SUMS"
  for file in "$first"/dist/*; do
    name=${file##*/}
    cmp -s "$file" "$second/dist/$name" || diffoscope "$file" "$second/dist/$name" | head -n 100
  done
fi
cat "$first/dist/SHA256SUMS"
expect_equal "files in dist/" "$(cd "$first/dist" && ls | sort | xargs)" \
  "SHA256SUMS link-unwrapper-1.0.0-1.x86_64.rpm link-unwrapper-1.0.0-win64.zip link-unwrapper_1.0.0_amd64.deb"
(cd "$second/dist" && sha256sum --quiet -c SHA256SUMS) || fail "sha256sum -c"

rpm=$(ls "$first"/dist/*.rpm) deb=$(ls "$first"/dist/*.deb)
expect_equal "files in the .rpm" "$(rpm -qpl "$rpm" | xargs)" \
  "/usr/bin/link-unwrapper /usr/share/applications/link-unwrapper.desktop /usr/share/doc/link-unwrapper /usr/share/doc/link-unwrapper/changelog.gz /usr/share/doc/link-unwrapper/copyright /usr/share/man/man1/link-unwrapper.1.gz"
# The project's rpmlintrc accepts two words of ours; newer rpmlint releases check spelling.
report=$(rpmlint --ignore-unused-rpmlintrc -r "$top/packaging/rpmlintrc" "$rpm" 2>&1)
printf '%s\n' "$report"
grep -q '1 packages and 0 specfiles checked' <<<"$report" || fail "rpmlint did not check the .rpm"
errors=$(grep ': E: ' <<<"$report" | grep -v ': E: no-signature$')
[ -z "$errors" ] || fail "rpmlint errors: $errors"
expect_lintian_clean "$deb"

expect_equal "weak dependencies of the .rpm" "$(rpm -qp --recommends "$rpm" | xargs)" \
  "glib2 xdg-utils"

# The manual and tools/release's last words name the hosts it was built for.
manual=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/man/man1/link-unwrapper.1.gz | zcat)
hosts=()
for argument in "$@"; do
  case $argument in
    -DLINK_UNWRAPPER_REDIRECTOR_[12]=*) hosts+=("${argument#*=}") ;;
  esac
done
for host in "${hosts[@]}"; do
  grep -qF -- "$host" <<<"$manual" || fail "the manual does not name $host"
done
grep -qxF "== released for the redirector services ${hosts[0]} and ${hosts[1]}:" "$work/first.log" ||
  fail "tools/release does not end by naming ${hosts[*]}: $(tail -n 6 "$work/first.log")"
finish
