// What the program tells its user in a message box: Japanese, as the notice is, with English
// beneath, through MessageBoxW, so that it reads right in every code page. This file is UTF-8.
#include "messages.h"

#include <windows.h>

#include "desktop.h"

namespace {

struct Text {
  const wchar_t *japanese, *english;  // each with at most one %s
};

constexpr Text kLosses[] = {
    {L"リンクを開けませんでした。「%s」に開くコマンドがありません。",
     L"The link was not opened: \u201c%s\u201d has no open command."},
    {L"リンクを開けませんでした。「%s」は link-unwrapper 自身を起動するので、リンクが戻ってきて"
     L"しまいます。",
     L"The link was not opened: \u201c%s\u201d starts link-unwrapper itself, which would get it "
     L"back."},
    {L"リンクを開けませんでした。転送先のプログラムが、リンクを既定のブラウザーである "
     L"link-unwrapper に戻しました。",
     L"The link was not opened: the program it went on to handed it back to the default "
     L"browser, link-unwrapper."},
    {L"リンクを開けませんでした。正しい Web リンクでないか、長すぎます。",
     L"The link was not opened: it is not a well-formed web link, or it is too long."},
};

constexpr Text kSetups[] = {
    {L"link-unwrapper をブラウザーとして登録しました。開いた「既定のアプリ」で、HTTP と HTTPS "
     L"に「Link Unwrapper」を選んでください。リンクは「%s」に転送されます。元に戻すには "
     L"link-unwrapper.exe --unset-default を実行します。",
     L"link-unwrapper is registered as a browser. In the Default apps settings just opened, "
     L"choose \u201cLink Unwrapper\u201d for HTTP and HTTPS. Links go on to \u201c%s\u201d. To "
     L"undo this, run link-unwrapper.exe --unset-default."},
    {L"http と https のリンクは link-unwrapper が開き、Wine のブラウザーに転送するようになりまし"
     L"た。元に戻すには link-unwrapper.exe --unset-default を実行します。",
     L"http and https links now go to link-unwrapper, which forwards them to Wine's browser. To "
     L"undo this, run link-unwrapper.exe --unset-default."},
    {L"link-unwrapper のブラウザーとしての登録を取り消しました。次にリンクを開くとき、Windows が"
     L"使うブラウザーを尋ねます。",
     L"link-unwrapper is no longer registered as a browser. The next time a link opens, Windows "
     L"asks which browser to use."},
    {L"link-unwrapper の登録を取り消しました。http と https のリンクは再び Wine のブラウザーで開"
     L"きます。",
     L"link-unwrapper is no longer registered: http and https links go to Wine's browser again."},
    {L"link-unwrapper はブラウザーとして登録されていません。取り消すものはありません。",
     L"link-unwrapper is not registered as a browser: there is nothing to undo."},
    {L"転送先のブラウザーが見つからないので、登録しませんでした。",
     L"Not registered: no browser was found to forward links to."},
    {L"登録しませんでした。このプログラムのパスが長すぎて、Wine のシェルがコマンドを読めません。"
     L"短いパスに移してください。",
     L"Not registered: this program's path is too long for Wine's shell to read its command. "
     L"Move it to a shorter path."},
    {L"レジストリに書き込めませんでした（%s）。", L"The registry could not be written (%s)."},
};

// Both languages, each with detail (at most 255 characters) in place of its %s, and the
// link, if any, beneath. wsprintfW writes at most 1,024 characters.
void Show(const Text &text, const wchar_t *detail, const wchar_t *link, UINT icon) {
  wchar_t japanese[1024], english[1024], message[3 * 1024];
  wsprintfW(japanese, text.japanese, detail);
  wsprintfW(english, text.english, detail);
  lstrcpyW(message, japanese);
  lstrcatW(lstrcatW(message, L"\n\n"), english);
  if (*link != L'\0') {
    lstrcatW(lstrcatW(message, L"\n\n"), link);
  }
  MessageBoxW(nullptr, message, L"link-unwrapper", MB_OK | icon);
}

// The first 200 characters of text in the ANSI code page, and "..." if there are more.
void Widen(const char *text, wchar_t *out, int out_size) {
  int bytes = 0;
  for (int characters = 0; text[bytes] != '\0' && characters < 200; ++characters) {
    bytes += static_cast<int>(CharacterLength(text + bytes));
  }
  int length = MultiByteToWideChar(CP_ACP, 0, text, bytes, out, out_size - 4);
  if (text[bytes] != '\0') {
    lstrcpyW(out + length, L"...");
    length += 3;
  }
  out[length] = L'\0';
}

}  // namespace

void SayLost(Loss why, const char *link, const char *prog_id) noexcept {
  wchar_t wide_link[256], wide_prog_id[256];
  Widen(link, wide_link, 256);
  Widen(prog_id, wide_prog_id, 256);
  Show(kLosses[static_cast<int>(why)], wide_prog_id, wide_link, MB_ICONWARNING);
}

void SaySetup(Setup what, const wchar_t *detail) noexcept {
  const bool failed = what >= Setup::kNoBrowser;
  Show(kSetups[static_cast<int>(what)], detail, L"", failed ? MB_ICONERROR : MB_ICONINFORMATION);
}
