#include "app/main_window.h"

#include <commctrl.h>

#include <filesystem>

#include "app/dialogs.h"
#include "app/layout.h"
#include "app/password_dialog.h"
#include "app/save_file.h"
#include "app/ui_font.h"
#include "app/ui_texts.h"
#include "model/project_file.h"
#include "tree/move_rules.h"
#include "tree/program_items.h"
#include "tree/tree_builder.h"
#include "tree/tree_images.h"
#include "tree/tree_view_fill.h"
#include "tree/wide_text.h"

namespace ramulet::app {

namespace {

// The insertion mark of a drag: a dark grey (red, green and blue all 0x60).
constexpr COLORREF kInsertMarkColor = 0x606060;

// A fixed frame: the controls have fixed places, so the window is not resized.
constexpr DWORD kMainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

struct ControlOptions {
    const wchar_t* windowClass = nullptr;
    layout::ControlId id{};
    layout::Box box;
    const wchar_t* text = L"";
    DWORD style = 0;
    DWORD extendedStyle = 0;
};

std::wstring fileNameOf(const std::wstring& path) {
    return std::filesystem::path(path).filename().wstring();
}

std::wstring saveFailureText(const std::wstring& target, const SaveFailure& failure) {
    return std::wstring(ui::kSaveFailed) + L"\r\n" + target + L"\r\n\r\n" + failure.reason +
           L"\r\n\r\n" + ui::kSaveRetry;
}

}  // namespace

MainWindow::MainWindow(ProjectModel& model)
    : model_(model), dropTarget_([this](std::wstring text) { takeDrop(std::move(text)); }) {}

MainWindow::~MainWindow() {
    if (window_ != nullptr)
        DestroyWindow(window_);
}

bool MainWindow::create(HINSTANCE instance, int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MainWindow::windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = layout::kMainWindowClass;
    RegisterClassExW(&windowClass);  // fails harmlessly when the class exists already

    const int dpi = screenDpi();
    const layout::Box& frame = layout::kMainWindow;
    const HWND window =
        CreateWindowExW(0, layout::kMainWindowClass, ui::kCaption, kMainWindowStyle,
                        scaled(frame.left, dpi), scaled(frame.top, dpi), scaled(frame.width, dpi),
                        scaled(frame.height, dpi), nullptr, nullptr, instance, this);
    if (window == nullptr)
        return false;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return true;
}

void MainWindow::openLater(std::wstring path) {
    takeDrop(std::move(path));
}

void MainWindow::showTip(const std::wstring& text) {
    const std::wstring line = ui::kTipPrefix + text;
    SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

StatusTip MainWindow::statusTip() {
    return [this](const Text& message) { showTip(gbkToWide(message)); };
}

PasswordPrompt MainWindow::passwordPrompt() const {
    return [owner = window_]() -> std::optional<Text> {
        const std::optional<std::wstring> typed = askText(owner, passwordRequest());
        if (!typed)
            return std::nullopt;
        return wideToGbk(*typed);
    };
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = self->handleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
    }
    return result;
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return onCreated() ? 0 : -1;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                if (LOWORD(wParam) == layout::kSortId)
                    onSortClicked();
                else if (LOWORD(wParam) == layout::kRefreshId)
                    onRefreshClicked();
            }
            return 0;
        case kRunDropMessage:
            runPendingDrop();
            return 0;
        case WM_CLOSE:
            if (!busy_ && onMayClose())
                DestroyWindow(window_);
            return 0;
        case WM_DESTROY:
            dropRegistration_.reset();
            tree_.detach();
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

bool MainWindow::createControls() {
    const int dpi = screenDpi();
    font_ = makeUiFont(dpi);
    const ControlOptions controls[] = {
        {WC_TREEVIEWW, layout::kTreeId, layout::kTreeBox, L"",
         WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
         WS_EX_CLIENTEDGE},
        {WC_EDITW, layout::kInfoEditId, layout::kInfoEdit, L"",
         WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, WS_EX_CLIENTEDGE},
        {WC_BUTTONW, layout::kRefreshId, layout::kRefreshButton, ui::kRefreshCaption,
         WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER, 0},
        {WC_BUTTONW, layout::kSortId, layout::kSortButton, ui::kSortCaption,
         WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER, 0},
        // Placed by us, not by the control: its place and size are fixed like the others'.
        {STATUSCLASSNAMEW, layout::kStatusId, layout::kStatusBar, L"",
         CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0},
    };
    for (const ControlOptions& c : controls) {
        const HWND control = CreateWindowExW(
            c.extendedStyle, c.windowClass, c.text, c.style | WS_CHILD | WS_VISIBLE,
            scaled(c.box.left, dpi), scaled(c.box.top, dpi), scaled(c.box.width, dpi),
            scaled(c.box.height, dpi), window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
            GetModuleHandleW(nullptr), nullptr);
        if (control == nullptr)
            return false;
        if (font_)
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    treeBox_ = GetDlgItem(window_, layout::kTreeId);
    infoEdit_ = GetDlgItem(window_, layout::kInfoEditId);
    refreshButton_ = GetDlgItem(window_, layout::kRefreshId);
    sortButton_ = GetDlgItem(window_, layout::kSortId);
    statusBar_ = GetDlgItem(window_, layout::kStatusId);
    int oneWholePart = -1;
    SendMessageW(statusBar_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&oneWholePart));
    return true;
}

// --- The five events -----------------------------------------------------------------------

bool MainWindow::onCreated() {
    if (!createControls())
        return false;
    // Without the tree wrapper nothing works: the program ends, without a message.
    if (!tree_.attach(treeBox_))
        return false;
    tree_.clear();
    tree_.setInsertMarkColor(kInsertMarkColor);
    treeImages_ = makeProgramTreeImages();
    setTreeImages(tree_, treeImages_.get());
    installMoveHandlers(tree_, model_, statusTip());
    showTip(std::wstring(ui::kStartupTip) + ui::kContactNote);
    // A window without a drop target still works from the command line; no message.
    dropRegistration_.registerOn(window_, &dropTarget_);
    return true;
}

void MainWindow::onFileDropped(const std::wstring& pathText) {
    const bool hadFile = !currentSourcePath_.empty();
    if (!loadDroppedFile(pathText)) {
        if (!hadFile) {
            // Nothing to go back to: the program ends (exit code 0) once the box is closed.
            DestroyWindow(window_);
            return;
        }
        // The file loaded before stays: its container, model, path and tree are untouched.
        enableButtons(true);
        showTip(ui::kKeptLoadedFile + fileNameOf(currentSourcePath_));
        return;
    }
    currentSourcePath_ = pathText;
    loadProject(model_, container_);
    refreshTree();
}

void MainWindow::onSortClicked() {
    sortAssembliesByNameLength(model_.workingProgram().assemblies);
    refreshTree();
}

void MainWindow::onRefreshClicked() {
    refreshTree();
}

bool MainWindow::onMayClose() {
    if (currentSourcePath_.empty())
        return true;
    const BusyScope busy(*this);
    if (!askSaveCurrentFile(window_))
        return true;
    const std::optional<std::wstring> target = askSaveFileName(window_, sourceFileSaveRequest());
    if (!target)
        return true;
    const Bytes bytes = buildSavedFile(container_, model_);
    if (const SaveFailure failure = replaceFileContents(*target, bytes)) {
        // The window stays open, so the user can save elsewhere or close without saving.
        showErrorBox(window_, saveFailureText(*target, failure));
        return false;
    }
    return true;
}

// --- Loading and showing ---------------------------------------------------------------------

bool MainWindow::loadDroppedFile(const std::wstring& path) {
    enableButtons(false);
    // Read into a temporary: a failed load leaves the held container as it was.
    OpenedFile opened = readAndSplit(std::filesystem::path(path), passwordPrompt());
    if (!opened.error.empty()) {
        showErrorBox(window_, gbkToWide(opened.error));
        return false;
    }
    container_ = std::move(opened.container);
    return true;
}

void MainWindow::refreshTree() {
    const ProgramTreeContent content = refreshProgramTree(model_);
    SetWindowTextW(infoEdit_, gbkToWide(content.infoText).c_str());
    fillTreeView(tree_, content.root);
    enableButtons(true);
}

void MainWindow::enableButtons(bool enabled) {
    EnableWindow(refreshButton_, enabled);
    EnableWindow(sortButton_, enabled);
}

void MainWindow::takeDrop(std::wstring pathText) {
    // Opening a file shows dialogs; it runs from the message loop, after the drop source (or
    // the start-up code) got its answer.
    pendingDrops_.push_back(std::move(pathText));
    PostMessageW(window_, kRunDropMessage, 0, 0);
}

void MainWindow::runPendingDrop() {
    // A drop that arrives while a file is being opened or saved waits for the dialogs to close.
    if (busy_ || pendingDrops_.empty())
        return;
    const std::wstring pathText = std::move(pendingDrops_.front());
    pendingDrops_.pop_front();
    const BusyScope busy(*this);
    onFileDropped(pathText);
}

MainWindow::BusyScope::BusyScope(MainWindow& window) : window_(window) {
    window_.busy_ = true;
}

MainWindow::BusyScope::~BusyScope() {
    window_.busy_ = false;
    if (!window_.pendingDrops_.empty() && window_.window_ != nullptr)
        PostMessageW(window_.window_, kRunDropMessage, 0, 0);
}

}  // namespace ramulet::app
