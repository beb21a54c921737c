#!/usr/bin/env bash
# link-unwrapper.exe under Wine: exact command lines in, exactly the right open requests out,
# and nothing but web links opened. The seventh argument is a witness .exe that records being
# started; it waits in the working folder, and links below point at it through a redirector
# address inside a path, or through a "web link" that Wine's shell would look for as a file.
# Folders named http: hold witnesses that clean web links would name as files: in the
# working folder, on WINEPATH, on the user's PATH, in C:\windows and in system32.
. "$(dirname "$0")/common.sh"
windows_folder="$WINEPREFIX/drive_c/windows"
trap 'rm -rf "$work" "$windows_folder/http:" "$windows_folder/system32/http:"
  "$wine_run" reg delete "HKCU\\Environment" /v PATH /f >/dev/null 2>&1' EXIT
mkdir -p "$work/folder/http:/x.example"
cp "$7" "$work/folder/witness.exe"
cp "$7" "$work/folder/http:/x.example/short.exe"
printf '@copy nul "%%~dp0started"\r\n' >"$work/folder/http:/x.example/run.bat"
for trap in "$work/wpath/http:/x.example/wpath.exe" "$work/upath/http:/x.example/upath.exe" \
  "$windows_folder/http:/x.example/windir.exe" "$windows_folder/system32/http:/x.example/sysdir.exe"; do
  mkdir -p "${trap%/*}"
  cp "$7" "$trap"
done
export WINEPATH
WINEPATH=$(windows_path "$work/wpath")
"$wine_run" reg add "HKCU\\Environment" /v PATH /t REG_SZ /d "$(windows_path "$work/upath")" /f >/dev/null
folder=$(windows_path "$work/folder")
folder=${folder//\\/\\\\}  # doubled, for printf %b
cd "$work/folder"

# About 12 KB of nesting, well inside Windows' 32 KB command line.
wrapper=${pattern1#http://}
chain=$(printf "${wrapper}%.0s" $(seq $((12000 / ${#wrapper}))))

# $2 copies of $1. Wine's shell cuts short what does not fit its buffers, at lengths that
# differ by version, so links of several lengths (link_of) are rows below.
repeat() { printf "$1%.0s" $(seq "$2"); }
export LU_TEST_SECRET=s3cr3t

# command line (printf %b) => link expected at xdg-open, empty for none
cases=(
  "link-unwrapper.exe \"${pattern1}www.example.com/\" => http://www.example.com/"
  "link-unwrapper.exe ${pattern2}www.example.com/ => http://www.example.com/"
  "\"C:\\\\Program Files\\\\link-unwrapper.exe\"\"${pattern1}a.example/x\" => http://a.example/x"
  "link-unwrapper.exe\\t${pattern1}a.example/tab => http://a.example/tab"
  "lu\"q.exe ${pattern1}a.example/q => http://a.example/q"
  # Wine's shell percent-encodes blanks, | \` < > { } ^ and drops double quotes on the way
  # to xdg-open, as a URL parser would; these pass through untouched.
  "  link-unwrapper.exe \\t \"\"${pattern2}a.example/?a=1&b=2;c='d'\$(e)#f~!*\"\" => http://a.example/?a=1&b=2;c='d'\$(e)#f~!*"
  "link-unwrapper.exe ${pattern1}${pattern2#http://}a.example/ => http://a.example/"
  "link-unwrapper.exe http://www.example.com/ => "
  "link-unwrapper.exe \"http://www.example.com/\" => "
  "link-unwrapper.exe \"\" => "
  # Unwrapped, they would name the witness by a file URL or a path: not web links.
  "link-unwrapper.exe file:///Z:${work}/folder/${pattern1}../witness.exe => "
  "link-unwrapper.exe ${folder}\\\\${pattern2}..\\\\witness.exe => "
  "link-unwrapper.exe \"${pattern1}../witness.exe => "
  "link-unwrapper.exe ${pattern1}../witness.exe => "
  "link-unwrapper.exe ${pattern1}x/../../../folder/witness.exe => "
  "link-unwrapper.exe ${pattern1}a/?u=/../../../witness.exe => "
  "link-unwrapper.exe ${pattern2}..\\\\witness.exe => "
  "link-unwrapper.exe \"${pattern1}a.example/\" \"--flag\" \"b\" => "
  # Quotes and blanks around the link are not part of it.
  "link-unwrapper.exe \"${pattern1}a.example/\"  => http://a.example/"
  # Code page 932: a two-byte character is one, whatever its second byte (表, ソ連); a
  # backslash after one (あ, 表) is a backslash. Wine hands xdg-open UTF-8.
  "link-unwrapper.exe ${pattern1}a.example/\\x95\\x5c => http://a.example/表"
  "link-unwrapper.exe \"${pattern1}ja.example/\\x83\\x5c\\x98\\x41\" => http://ja.example/ソ連"
  "link-unwrapper.exe ${pattern1}\\x82\\xa0\\\\..\\\\..\\\\witness.exe => "
  "link-unwrapper.exe ${pattern1}\\x95\\x5c\\\\..\\\\..\\\\witness.exe => "
  # The shell would put the values of the variables a link names into it.
  "link-unwrapper.exe ${pattern1}attacker.example/?t=%LU_TEST_SECRET%&u=%USERNAME% => "
  "link-unwrapper.exe ${pattern1}a.example/a%20b?c=50%25off => http://a.example/a%20b?c=50%25off"
  "link-unwrapper.exe ${pattern1}$(link_of 259 | cut -c 8-) => $(link_of 259)"
  "link-unwrapper.exe ${pattern1}$(link_of 900 | cut -c 8-) => $(link_of 900)"
  "link-unwrapper.exe ${pattern1}$(link_of 1000 | cut -c 8-) => "
  "link-unwrapper.exe ${pattern1}$(link_of 1576 | cut -c 8-) => "
  "link-unwrapper.exe ${pattern1}$(link_of 5000 | cut -c 8-) => "
  # Files in the working folder's http: folder are not what a web link names; those on the
  # search path would stand in for it, so it is not opened.
  "link-unwrapper.exe ${pattern1}x.example/short => http://x.example/short"
  "link-unwrapper.exe ${pattern1}x.example/run.bat => http://x.example/run.bat"
  "link-unwrapper.exe ${pattern1}x.example/wpath => "
  "link-unwrapper.exe ${pattern1}x.example/upath => "
  "link-unwrapper.exe ${pattern1}x.example/windir => "
  "link-unwrapper.exe ${pattern1}x.example/sysdir => "
  # Long hostile input: hundreds of nested wrappers, and 12 KB of plain text.
  "link-unwrapper.exe ${pattern1}${chain}a.example/ => http://a.example/"
  "link-unwrapper.exe $(printf 'x%.0s' $(seq 12000)) => "
)

# Code page 1252: 95 is a character of its own (•), and 5C after it a backslash.
cp1252_cases=(
  "link-unwrapper.exe ${pattern1}a.example/\\x95\\x5c => "
  "link-unwrapper.exe ${pattern1}a.example/\\x95 => http://a.example/•"
)

# Started with CreateProcessW, in UTF-8 here: every character reaches the browser, those
# outside the code page percent-escaped, so the link as clicked is what arrives, decoded.
unicode_cp1252_cases=(
  "link-unwrapper.exe ${pattern1}a.example/?q=ascii&r=1 => http://a.example/?q=ascii&r=1"
  "link-unwrapper.exe ${pattern1}ja.wikipedia.org/wiki/東京都 => http://ja.wikipedia.org/wiki/東京都"
  "link-unwrapper.exe ${pattern2}ru.wikipedia.org/wiki/Москва => http://ru.wikipedia.org/wiki/Москва"
  "link-unwrapper.exe http∶//${pattern1#http://}a.example/r => "
  # Wine's browser drops what stands before an @ in the host, but never sees a slash there.
  "link-unwrapper.exe ${pattern1}good.example／@evil.example/ => http://evil.example/"
  # Longer than the shell's strings once escaped, and half a character: not opened.
  "link-unwrapper.exe ${pattern1}x.example/$(repeat 東 3700) => "
  "link-unwrapper.exe ${pattern1}x.example/$(repeat 😀 16000) => "
  "link-unwrapper.exe ${pattern1}a.example/x\\xed\\xa0\\x80y => "
  "link-unwrapper.exe ${pattern1}a.example/x\\xed\\xb0\\x80\\xed\\xb0\\x80y => "
)
unicode_cp932_cases=(
  "link-unwrapper.exe ${pattern1}fr.wikipedia.org/wiki/Café => http://fr.wikipedia.org/wiki/Café"
  "link-unwrapper.exe ${pattern1}search.example/?q=😀&lang=ja => http://search.example/?q=😀&lang=ja"
  "link-unwrapper.exe ${pattern1}zh.wikipedia.org/wiki/东京 => http://zh.wikipedia.org/wiki/东京"
)

# The http class's "open" command, then a row: a link that fits Wine's buffers with Wine's
# own command may not fit with the link four times, or with the longest command Wine reads.
four_links="$wine_browser \"%1\" \"%1\" \"%1\""
longest=$wine_browser$(printf ' %.0s' $(seq $((255 - ${#wine_browser}))))
handler_cases=(
  "$four_links" "link-unwrapper.exe ${pattern1}a.example/4 => http://a.example/4"
  "$four_links" "link-unwrapper.exe ${pattern1}$(link_of 259 | cut -c 8-) => "
  "$longest" "link-unwrapper.exe ${pattern1}a.example/255 => http://a.example/255"
  "$longest" "link-unwrapper.exe ${pattern1}$(link_of 800 | cut -c 8-) => "
)
set_http_command() {
  "$wine_run" reg add 'HKCR\http\shell\open\command' /ve /t REG_SZ /d "$1" /f >/dev/null
}

check_case() {
  start_case "$2"
  if [ "$1" = -w ]; then
    expect_run "$(run_program -w "$command_line")" "$wanted" decoded
  else
    expect_run "$(run_program "$command_line")" "$wanted"
  fi
  expect_equal "witnesses started by [$command_line]" \
    "$(find "$work" "$windows_folder/http:" "$windows_folder/system32/http:" -name started)" ""
  find "$work" "$windows_folder/http:" "$windows_folder/system32/http:" -name started -delete
}
for case in "${cases[@]}"; do
  check_case "" "$case"
done
for case in "${cp1252_cases[@]}"; do
  WINE_LANG=C.UTF-8 check_case "" "$case"
done
for case in "${unicode_cp1252_cases[@]}"; do
  WINE_LANG=C.UTF-8 check_case -w "$case"
done
for case in "${unicode_cp932_cases[@]}"; do
  check_case -w "$case"
done
for ((i = 0; i < ${#handler_cases[@]}; i += 2)); do
  set_http_command "${handler_cases[i]}"
  check_case "" "${handler_cases[i + 1]}"
done
set_http_command "$wine_browser"
finish
