// MainWindow: the program's one window. It holds the program tree, the information text, the
// refresh and sort buttons, the status bar and the file drop target, and runs the five events:
// window created, file dropped, sort clicked, refresh clicked and window may close.
//
// Ownership: the ProjectModel is the program's and outlives the window; the window keeps the
// container of the file loaded last, its path, the tree wrapper with its drag state and the
// tree's pictures. Everything runs on the thread that created the window.
#pragma once

#include <windows.h>

#include <deque>
#include <string>

#include "app/file_drop_target.h"
#include "app/win32_owners.h"
#include "container/container.h"
#include "container/source_file.h"
#include "model/project_model.h"
#include "tree/program_tree.h"
#include "tree/status_tip.h"
#include "tree/win32_handles.h"

namespace ramulet::app {

class MainWindow {
  public:
    explicit MainWindow(ProjectModel& model);
    ~MainWindow();
    // Bound to its window by address: neither copied nor moved.
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates and shows the window, which raises the window-created event. False when the
    // window could not be made or the tree could not be bound; the program then ends.
    bool create(HINSTANCE instance, int showCommand);

    HWND window() const { return window_; }

    // Loads a file as if it had been dropped, once the message loop runs.
    void openLater(std::wstring path);

    // Status messages, shown behind "Tip：".
    void showTip(const std::wstring& text);

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // The five events.
    bool onCreated();
    void onFileDropped(const std::wstring& pathText);
    void onSortClicked();
    void onRefreshClicked();
    bool onMayClose();  // true lets the window close

    bool createControls();
    // Reads and splits the file into the held container; shows the error and says no when it
    // cannot. The buttons stay disabled either way.
    bool loadDroppedFile(const std::wstring& path);
    void refreshTree();
    void enableButtons(bool enabled);
    void takeDrop(std::wstring pathText);
    void runPendingDrop();
    PasswordPrompt passwordPrompt() const;

    // Marks the time a file is opened or saved (its dialogs are up); drops that arrive then
    // wait, and closing waits.
    class BusyScope {
      public:
        explicit BusyScope(MainWindow& window);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

      private:
        MainWindow& window_;
    };
    StatusTip statusTip();

    ProjectModel& model_;  // not owned
    SectionContainer container_;
    std::wstring currentSourcePath_;

    DragState drag_;
    ProgramTree tree_{drag_};
    UniqueImageList treeImages_;  // shown by the tree box, which does not own it
    UniqueFont font_;
    FileDropTarget dropTarget_;
    DropRegistration dropRegistration_;
    std::deque<std::wstring> pendingDrops_;
    bool busy_ = false;  // a file is being opened or saved; its dialogs are up

    HWND window_ = nullptr;  // destroyed with the window; the controls are its children
    HWND treeBox_ = nullptr;
    HWND infoEdit_ = nullptr;
    HWND refreshButton_ = nullptr;
    HWND sortButton_ = nullptr;
    HWND statusBar_ = nullptr;
};

// A private message the window posts to itself: run the next pending drop.
inline constexpr UINT kRunDropMessage = WM_APP + 1;

}  // namespace ramulet::app
