#include "app_test_support.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

#include "app/layout.h"

namespace ramulet::apptest {

namespace {

constexpr auto kPollStep = 20ms;
constexpr auto kInputPause = 30ms;
constexpr UINT kTextTimeoutMs = 2000;

std::filesystem::path ownFolder() {
    std::wstring path(MAX_PATH * 4, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return std::filesystem::path(path).parent_path();
}

std::wstring className(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return name;
}

DWORD processOf(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id;
}

struct WindowSearch {
    DWORD processId = 0;
    std::vector<HWND> found;
};

BOOL CALLBACK noteTopWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    if (processOf(window) == search->processId && IsWindowVisible(window))
        search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK noteChild(HWND window, LPARAM data) {
    reinterpret_cast<WindowSearch*>(data)->found.push_back(window);
    return TRUE;
}

std::vector<HWND> topWindowsOf(DWORD processId) {
    WindowSearch search{processId, {}};
    EnumWindows(&noteTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> childrenOf(HWND parent) {
    WindowSearch search;
    EnumChildWindows(parent, &noteChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

LONG normalised(LONG pixel, int extent) {
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent - 1) / extent);
}

void sendMouse(DWORD flags, POINT screen = {}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = normalised(screen.x, GetSystemMetrics(SM_CXSCREEN));
        input.mi.dy = normalised(screen.y, GetSystemMetrics(SM_CYSCREEN));
    }
    SendInput(1, &input, sizeof input);
    std::this_thread::sleep_for(kInputPause);
}

void sendKey(WORD virtualKey, wchar_t unit, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = unit;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(kPollStep);
    }
}

std::filesystem::path ramuletExe() {
    const std::filesystem::path here = ownFolder();
    for (const auto& candidate :
         {here / L"ramulet.exe", here.parent_path() / L"app" / L"ramulet.exe"})
        if (std::filesystem::exists(candidate))
            return candidate;
    return here.parent_path() / L"app" / L"ramulet.exe";
}

// --- Files -------------------------------------------------------------------------------------

TempFolder::TempFolder() {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() /
            (L"ramulet-app-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(seed() % 1000000));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    // Read-only files left by a test must not keep the folder alive.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ec))
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(path_, ec);
}

void writeBytes(const std::filesystem::path& path, ByteView bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::filesystem::path> filesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path().filename());
    return files;
}

// --- The process -------------------------------------------------------------------------------

AppProcess::AppProcess(const std::wstring& argument) {
    const std::wstring exe = ramuletExe().wstring();
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!argument.empty())
        commandLine += L" \"" + argument + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &info)) {
        process_ = info.hProcess;
        thread_ = info.hThread;
        id_ = info.dwProcessId;
    }
}

AppProcess::~AppProcess() {
    if (process_ != nullptr) {
        if (running()) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(thread_);
        CloseHandle(process_);
    }
}

bool AppProcess::running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> AppProcess::waitForExit(std::chrono::milliseconds timeout) const {
    if (process_ == nullptr ||
        WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

HWND AppProcess::mainWindow(bool loaded) const {
    HWND found = nullptr;
    waitUntil([&] {
        for (HWND window : topWindowsOf(id_)) {
            if (className(window) != layout::kMainWindowClass)
                continue;
            const HWND tree = GetDlgItem(window, layout::kTreeId);
            if (!loaded || SendMessageW(tree, TVM_GETCOUNT, 0, 0) > 0) {
                found = window;
                return true;
            }
        }
        return false;
    });
    return found;
}

HWND AppProcess::dialog(const std::wstring& title, std::chrono::milliseconds timeout) const {
    HWND found = nullptr;
    waitUntil(
        [&] {
            for (HWND window : topWindowsOf(id_))
                if (className(window) == L"#32770" && textOf(window) == title) {
                    found = window;
                    return true;
                }
            return false;
        },
        timeout);
    return found;
}

HWND AppProcess::dialogWithButton(int buttonId, HWND except,
                                  std::chrono::milliseconds timeout) const {
    HWND found = nullptr;
    waitUntil(
        [&] {
            for (HWND window : topWindowsOf(id_))
                if (window != except && className(window) == L"#32770" &&
                    GetDlgItem(window, buttonId) != nullptr) {
                    found = window;
                    return true;
                }
            return false;
        },
        timeout);
    return found;
}

// --- Texts and places ------------------------------------------------------------------------

std::wstring textOf(HWND window) {
    std::wstring text(4096, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kTextTimeoutMs, &copied))
        return {};
    text.resize(copied);
    return text;
}

std::wstring messageBoxText(HWND box) {
    std::wstring longest;
    for (HWND child : childrenOf(box)) {
        if (_wcsicmp(className(child).c_str(), L"Static") != 0)
            continue;
        const std::wstring text = textOf(child);
        if (text.size() > longest.size())
            longest = text;
    }
    return longest;
}

RECT placeInParent(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// --- The remote tree -------------------------------------------------------------------------

namespace {

// Lent memory: a TVITEMW, then room for the text it points to.
constexpr size_t kTextUnits = 260;
constexpr size_t kRemoteSize = sizeof(TVITEMW) + kTextUnits * sizeof(wchar_t) + 64;

}  // namespace

RemoteTree::RemoteTree(HWND tree, HANDLE process) : tree_(tree), process_(process) {
    memory_ =
        VirtualAllocEx(process_, nullptr, kRemoteSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteTree::~RemoteTree() {
    if (memory_ != nullptr)
        VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
}

int RemoteTree::count() const {
    return static_cast<int>(SendMessageW(tree_, TVM_GETCOUNT, 0, 0));
}

HTREEITEM RemoteTree::root() const {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

std::vector<HTREEITEM> RemoteTree::children(HTREEITEM item) const {
    std::vector<HTREEITEM> items;
    auto next = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    while (next != nullptr) {
        items.push_back(next);
        next = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(next)));
    }
    return items;
}

std::wstring RemoteTree::text(HTREEITEM item) const {
    if (memory_ == nullptr)
        return {};
    auto* remoteText = static_cast<wchar_t*>(memory_) + sizeof(TVITEMW) / sizeof(wchar_t) + 4;
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = remoteText;
    query.cchTextMax = static_cast<int>(kTextUnits);
    WriteProcessMemory(process_, memory_, &query, sizeof query, nullptr);
    if (!SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory_)))
        return {};
    std::wstring text(kTextUnits, L'\0');
    ReadProcessMemory(process_, remoteText, text.data(), kTextUnits * sizeof(wchar_t), nullptr);
    text.resize(wcsnlen(text.c_str(), kTextUnits));
    return text;
}

RECT RemoteTree::labelRect(HTREEITEM item) const {
    RECT rect{};
    if (memory_ == nullptr)
        return rect;
    // The first bytes of the rectangle carry the item in.
    unsigned char in[sizeof(RECT)] = {};
    std::memcpy(in, &item, sizeof item);
    WriteProcessMemory(process_, memory_, in, sizeof in, nullptr);
    if (!SendMessageW(tree_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(memory_)))
        return RECT{};
    ReadProcessMemory(process_, memory_, &rect, sizeof rect, nullptr);
    return rect;
}

std::vector<std::wstring> RemoteTree::childTexts(HTREEITEM item) const {
    std::vector<std::wstring> texts;
    for (HTREEITEM child : children(item))
        texts.push_back(text(child));
    return texts;
}

// --- Input -------------------------------------------------------------------------------------

POINT toScreen(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return client;
}

POINT centre(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void moveMouse(POINT screen) {
    sendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen);
}

void click(POINT screen) {
    moveMouse(screen);
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    sendMouse(MOUSEEVENTF_LEFTUP);
}

void clickWindow(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    click(centre(rect));
}

void drag(POINT from, POINT to) {
    moveMouse(from);
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    constexpr int kSteps = 10;
    for (int i = 1; i <= kSteps; ++i)
        moveMouse({from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps});
    moveMouse(to);
    sendMouse(MOUSEEVENTF_LEFTUP);
}

void typeText(const std::wstring& text) {
    for (wchar_t unit : text) {
        sendKey(0, unit, KEYEVENTF_UNICODE);
        sendKey(0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
        std::this_thread::sleep_for(5ms);
    }
    std::this_thread::sleep_for(kInputPause);
}

void pressKey(WORD virtualKey) {
    sendKey(virtualKey, 0, 0);
    sendKey(virtualKey, 0, KEYEVENTF_KEYUP);
    std::this_thread::sleep_for(kInputPause);
}

void bringToFront(HWND window) {
    SetForegroundWindow(window);
    std::this_thread::sleep_for(kInputPause);
}

}  // namespace ramulet::apptest
