// Driving the real ramulet.exe from a test program: launching it, finding its windows and
// dialogs, reading their texts and the tree box across the process boundary, and real mouse
// and keyboard input through SendInput.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "container/bytes.h"

namespace ramulet::apptest {

using namespace std::chrono_literals;

// How long the tests wait for a window or a process before they give up.
inline constexpr std::chrono::milliseconds kPatience = 15s;

// Polls until the condition holds or the time is up; whether it held.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = kPatience);

// ramulet.exe: beside the test program, or in the app folder of the same build.
std::filesystem::path ramuletExe();

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::wstring& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

void writeBytes(const std::filesystem::path& path, ByteView bytes);
Bytes readBytes(const std::filesystem::path& path);
std::vector<std::filesystem::path> filesIn(const std::filesystem::path& folder);

// One run of ramulet.exe. Ended at once if it still runs when this object goes away.
class AppProcess {
  public:
    // With the argument (when not empty) as its first command-line argument, quoted.
    explicit AppProcess(const std::wstring& argument = L"");
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD id() const { return id_; }
    HANDLE handle() const { return process_; }
    bool running() const;
    // The exit code once it ended within the time; nullopt when it still runs.
    std::optional<DWORD> waitForExit(std::chrono::milliseconds timeout = kPatience) const;

    // The main window once it is shown (and, with loaded, once the tree holds items).
    HWND mainWindow(bool loaded = false) const;
    // A visible dialog window (#32770) of this process with the title; null when none came.
    HWND dialog(const std::wstring& title, std::chrono::milliseconds timeout = kPatience) const;
    // A visible dialog of this process other than `except` that has a button with the id.
    HWND dialogWithButton(int buttonId, HWND except = nullptr,
                          std::chrono::milliseconds timeout = kPatience) const;

  private:
    HANDLE process_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD id_ = 0;
};

// The text of a window of any process (WM_GETTEXT); a status bar answers with its first part.
std::wstring textOf(HWND window);
// The message of a message box: the text of its static control that is not the icon.
std::wstring messageBoxText(HWND box);
// Client rectangle of a child in its parent's client coordinates.
RECT placeInParent(HWND child);

// The tree box of another process, read through memory lent in that process.
class RemoteTree {
  public:
    RemoteTree(HWND tree, HANDLE process);
    ~RemoteTree();
    RemoteTree(const RemoteTree&) = delete;
    RemoteTree& operator=(const RemoteTree&) = delete;

    int count() const;
    HTREEITEM root() const;
    std::vector<HTREEITEM> children(HTREEITEM item) const;
    std::wstring text(HTREEITEM item) const;
    // The item's label in the tree's client coordinates.
    RECT labelRect(HTREEITEM item) const;
    std::vector<std::wstring> childTexts(HTREEITEM item) const;

  private:
    HWND tree_;
    HANDLE process_;          // not owned
    void* memory_ = nullptr;  // in the other process
};

// --- Real input ---------------------------------------------------------------------------

POINT toScreen(HWND window, POINT client);
POINT centre(const RECT& rect);
void moveMouse(POINT screen);
// A left click at a screen point.
void click(POINT screen);
// A left click in the middle of a window (a button).
void clickWindow(HWND window);
// A press at `from`, a move in small steps to `to`, a release there (screen points).
void drag(POINT from, POINT to);
// Types the text into whatever has the keyboard focus, one character event each.
void typeText(const std::wstring& text);
void pressKey(WORD virtualKey);
// Brings the window to the front so that input reaches it.
void bringToFront(HWND window);

}  // namespace ramulet::apptest
