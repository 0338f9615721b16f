// ramulet.exe: start-up, the message loop and shutdown.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <optional>
#include <string>

#include "app/main_window.h"
#include "model/project_model.h"

namespace {

// OLE for the file drop target, for as long as the program runs.
class OleSession {
  public:
    OleSession() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleSession() {
        if (ok_)
            OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

  private:
    bool ok_;
};

// The first command-line argument: a file to open as if it had been dropped.
std::optional<std::wstring> firstArgument() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args == nullptr)
        return std::nullopt;
    std::optional<std::wstring> first;
    if (count > 1)
        first = args[1];
    LocalFree(args);
    return first;
}

int runMessageLoop() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    const OleSession ole;
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // The model lives from start-up to exit; a load empties and refills it.
    ramulet::ProjectModel model = ramulet::ProjectModel::initial();
    ramulet::app::MainWindow window(model);
    if (!window.create(instance, showCommand))
        return 0;
    if (std::optional<std::wstring> path = firstArgument())
        window.openLater(std::move(*path));
    return runMessageLoop();
}
