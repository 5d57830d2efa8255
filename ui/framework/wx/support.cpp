// Text conversion, fonts, the handle map, the modal stack and key codes.
#include <wx/fontenum.h>
#include <wx/utils.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <unordered_map>

#include "platform/text_encoding.h"
#include "ui/framework/wx/afx_impl.h"

namespace afx {

wxString ToWx(const char* gbk) {
  if (gbk == nullptr || *gbk == '\0') return wxString();
  return wxString::FromUTF8(platform::GbkToUtf8(gbk));
}

std::string ToGbk(const wxString& text) {
  std::string out;
  const wxScopedCharBuffer utf8 = text.utf8_str();
  if (platform::Utf8ToGbk(std::string_view(utf8.data(), utf8.length()), out)) return out;
  // Some character has no GBK form: convert one character at a time.
  out.clear();
  for (wxUniChar c : text) {
    std::string one;
    const wxScopedCharBuffer u = wxString(c).utf8_str();
    if (platform::Utf8ToGbk(std::string_view(u.data(), u.length()), one)) {
      out += one;
    } else {
      out += '?';
    }
  }
  return out;
}

namespace {

wxString SubstituteFace(const wxString& face) {
  // The templates name the Windows Song face; an installed Song/Ming face
  // of the same design stands in for it.
  static const wxString kSongTi = wxString::FromUTF8("\xE5\xAE\x8B\xE4\xBD\x93");  // 宋体
  if (face == kSongTi || face.empty()) {
    for (const char* candidate : {"AR PL UMing CN", "AR PL UMing TW", "AR PL SungtiL GB"}) {
      if (wxFontEnumerator::IsValidFacename(candidate)) return candidate;
    }
    return wxString();
  }
  return face;
}

}  // namespace

wxFont TemplateFont(const DlgTemplate& t) {
  wxFontInfo info(t.pointSize > 0 ? t.pointSize : 12);
  const wxString face = SubstituteFace(ToWx(t.faceName));
  if (!face.empty()) info.FaceName(face);
  return wxFont(info);
}

wxFont DefaultFont() {
  static const DlgTemplate kDefault{0, 0, 0, 0, 0, nullptr, nullptr, 12, nullptr, 0};
  return TemplateFont(kDefault);
}

namespace {

std::unordered_map<HWND, CWnd*>& Handles() {
  static std::unordered_map<HWND, CWnd*> handles;
  return handles;
}

}  // namespace

void MapHandle(HWND handle, CWnd* window) { Handles()[handle] = window; }

void UnmapHandle(HWND handle) { Handles().erase(handle); }

CWnd* LookupHandle(HWND handle) {
  auto it = Handles().find(handle);
  return it == Handles().end() ? nullptr : it->second;
}

CWnd* LookupWidget(const wxWindow* widget) {
  if (widget == nullptr) return nullptr;
  for (auto& [handle, wnd] : Handles()) {
    if (wnd->GetNativeWindow() == widget) return wnd;
  }
  return nullptr;
}

namespace {

std::vector<AfxModalFrame*>& Stack() {
  static std::vector<AfxModalFrame*> stack;
  return stack;
}

AfxModalObserver* g_observer = nullptr;
unsigned g_nextSerial = 1;

}  // namespace

void PushModal(AfxModalFrame* frame) {
  frame->serial = g_nextSerial++;
  Stack().push_back(frame);
}

void PopModal(AfxModalFrame* frame) {
  auto& s = Stack();
  s.erase(std::remove(s.begin(), s.end(), frame), s.end());
}

void NotifyModalStarted(AfxModalFrame* frame) {
  if (g_observer == nullptr) return;
  const unsigned serial = frame->serial;
  // Queued, so that it runs inside the modal loop once the window is up; a
  // loop that has ended by then is skipped.
  wxTheApp->CallAfter([serial] {
    for (AfxModalFrame* f : Stack()) {
      if (f->serial == serial && g_observer != nullptr) {
        g_observer->OnModalStarted(*f);
        return;
      }
    }
  });
}

wxWindow* ActiveWindow() {
  auto& s = Stack();
  for (auto it = s.rbegin(); it != s.rend(); ++it) {
    if ((*it)->window != nullptr) return (*it)->window;
  }
  CWnd* main = AfxGetMainWnd();
  return main ? main->GetNativeWindow() : nullptr;
}

UINT VirtualKey(int code) {
  switch (code) {
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
      return VK_RETURN;
    case WXK_ESCAPE:
      return VK_ESCAPE;
    case WXK_TAB:
      return VK_TAB;
    case WXK_SPACE:
      return VK_SPACE;
    case WXK_BACK:
      return 0x08;
    case WXK_DELETE:
      return 0x2E;
    case WXK_LEFT:
      return 0x25;
    case WXK_UP:
      return 0x26;
    case WXK_RIGHT:
      return 0x27;
    case WXK_DOWN:
      return 0x28;
    default:
      break;
  }
  if (code >= WXK_F1 && code <= WXK_F12) return VK_F1 + static_cast<UINT>(code - WXK_F1);
  if (code >= 'a' && code <= 'z') return static_cast<UINT>(code - 'a' + 'A');
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) return static_cast<UINT>(code);
  return 0;
}

}  // namespace afx

void AfxSetModalObserver(AfxModalObserver* observer) { afx::g_observer = observer; }

std::vector<AfxModalFrame*> AfxModalStack() { return afx::Stack(); }

void CCmdTarget::BeginWaitCursor() { wxBeginBusyCursor(); }

void CCmdTarget::EndWaitCursor() {
  if (wxIsBusy()) wxEndBusyCursor();
}


BOOL AfxWaitCursorShown() { return wxIsBusy() ? TRUE : FALSE; }
