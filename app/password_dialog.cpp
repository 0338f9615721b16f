#include "app/password_dialog.h"

#include <vector>

#include "app/ui_texts.h"

namespace ramulet::app {

namespace {

// Builds a DLGTEMPLATE with its items in memory. The layout is a sequence of WORDs: the
// template header, then each item aligned to a DWORD; texts are NUL-ended UTF-16.
class DialogTemplate {
  public:
    DialogTemplate(const std::wstring& title, short width, short height) {
        DLGTEMPLATE head{};
        head.style = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        head.cx = width;
        head.cy = height;
        append(head);
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the standard dialog class
        appendText(title);
        words_.push_back(9);  // point size of the font, then its name
        appendText(L"MS Shell Dlg");
    }

    // `classAtom` is one of the predefined control classes (0x0080 button, 0x0081 edit,
    // 0x0082 static).
    void addItem(WORD classAtom, int id, DWORD style, short x, short y, short cx, short cy,
                 const std::wstring& text) {
        while (words_.size() % 2 != 0)
            words_.push_back(0);  // DWORD alignment
        DLGITEMTEMPLATE item{};
        item.style = style | WS_CHILD | WS_VISIBLE;
        item.x = x;
        item.y = y;
        item.cx = cx;
        item.cy = cy;
        item.id = static_cast<WORD>(id);
        append(item);
        words_.push_back(0xFFFF);
        words_.push_back(classAtom);
        appendText(text);
        words_.push_back(0);       // no creation data
        ++words_[kItemCountWord];  // DLGTEMPLATE.cdit
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    template <class T>
    void append(const T& value) {
        static_assert(sizeof(T) % sizeof(WORD) == 0);
        const auto* begin = reinterpret_cast<const WORD*>(&value);
        words_.insert(words_.end(), begin, begin + sizeof(T) / sizeof(WORD));
    }
    void appendText(const std::wstring& text) {
        words_.insert(words_.end(), text.begin(), text.end());
        words_.push_back(0);
    }
    // DLGTEMPLATE: style (2 words), extended style (2), then the item count.
    static constexpr size_t kItemCountWord = 4;

    std::vector<WORD> words_;
};

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;

struct PromptState {
    const TextPromptRequest* request;  // not owned
    std::wstring answer;
};

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

INT_PTR CALLBACK promptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            const auto* state = reinterpret_cast<PromptState*>(lParam);
            SetDlgItemTextW(dialog, kPromptEditId, state->request->initialText.c_str());
            SetFocus(GetDlgItem(dialog, kPromptEditId));
            return FALSE;  // the focus is set
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                auto* state = reinterpret_cast<PromptState*>(GetWindowLongPtrW(dialog, DWLP_USER));
                state->answer = windowText(GetDlgItem(dialog, kPromptEditId));
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

std::optional<std::wstring> askText(HWND owner, const TextPromptRequest& request) {
    // Dialog units: about 4 per character across and 8 per line down.
    DialogTemplate layout(request.title, 200, 70);
    layout.addItem(kStaticClass, kPromptTextId, SS_LEFT, 8, 8, 184, 10, request.prompt);
    layout.addItem(kEditClass, kPromptEditId, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 8, 22, 184,
                   13, L"");
    layout.addItem(kButtonClass, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 88, 46, 50, 15, ui::kOk);
    layout.addItem(kButtonClass, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 142, 46, 50, 15,
                   ui::kCancel);

    PromptState state{&request, {}};
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), layout.get(), owner,
                                                   &promptProc, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK)
        return std::nullopt;
    return state.answer;
}

TextPromptRequest passwordRequest() {
    return {ui::kPasswordTitle, ui::kPasswordPrompt, L""};
}

}  // namespace ramulet::app
