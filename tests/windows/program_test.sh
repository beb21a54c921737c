#!/usr/bin/env bash
# link-unwrapper.exe under Wine: exact command lines in, exactly the right open requests out,
# and nothing but web links opened. The seventh argument is a witness .exe that records being
# started; it waits in the working folder, and links below point at it through a redirector
# address inside a path, or through a "web link" that Wine's shell would look for as a file.
. "$(dirname "$0")/common.sh"
mkdir "$work/folder"
cp "$7" "$work/folder/witness.exe"
folder=$(windows_path "$work/folder")
folder=${folder//\\/\\\\}  # doubled, for printf %b
cd "$work/folder"

# About 12 KB of nesting, well inside Windows' 32 KB command line once hex-encoded.
wrapper=${pattern1#http://}
chain=$(printf "${wrapper}%.0s" $(seq $((12000 / ${#wrapper}))))

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
  # Long hostile input: hundreds of nested wrappers, and 12 KB of plain text.
  "link-unwrapper.exe ${pattern1}${chain}a.example/ => http://a.example/"
  "link-unwrapper.exe $(printf 'x%.0s' $(seq 12000)) => "
)

for case in "${cases[@]}"; do
  start_case "$case"
  expect_run "$(run_program "$command_line")" "$wanted"
  expect_equal "files beside the witness after [$command_line]" "$(ls)" "witness.exe"
  rm -f started
done
finish
