// The real ramulet.exe, driven from outside as a user would: it is started on files written
// with the project's own fixtures, its windows and dialogs are found and answered, items are
// dragged and buttons clicked with real mouse input, and what it saves is read back with the
// core.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <thread>

#include "app/layout.h"
#include "app/password_dialog.h"
#include "app/ui_texts.h"
#include "app_drop_source.h"
#include "app_test_support.h"
#include "container/protected_file.h"
#include "fixtures/protected_fixture.h"
#include "fixtures/sample_project.h"
#include "model/project_file.h"
#include "tree/program_items.h"
#include "tree/top_level_drop.h"
#include "tree/tree_builder.h"
#include "tree/wide_text.h"

namespace ramulet::apptest {
namespace {

// The same session on the core, beside the program: what the window should show and save.
struct Expected {
    SectionContainer container;
    ProjectModel model = ProjectModel::initial();
    ProgramTreeContent content;

    explicit Expected(const std::filesystem::path& file) {
        OpenedFile opened = readAndSplit(file, {});
        container = std::move(opened.container);
        loadProject(model, container);
        content = refreshProgramTree(model);
    }
    std::vector<std::wstring> topLevelTexts() const {
        std::vector<std::wstring> texts;
        for (const TreeNode& node : content.root.children)
            texts.push_back(gbkToWide(node.text));
        return texts;
    }
};

std::wstring tip(const std::wstring& text) {
    return ui::kTipPrefix + text;
}

HWND control(HWND main, layout::ControlId id) {
    return GetDlgItem(main, id);
}

std::filesystem::path writeSample(const TempFolder& temp) {
    const std::filesystem::path sample = temp.file(L"sample.e");
    writeBytes(sample, makeSampleProject());
    return sample;
}

// Answers the message box of the process that shows `text` with the button; false when no
// such box came.
bool answerBox(const AppProcess& app, const std::wstring& text, int button) {
    const HWND box = app.dialog(ui::kMessageTitle);
    if (box == nullptr)
        return false;
    EXPECT_EQ(messageBoxText(box), text);
    const HWND pressed = GetDlgItem(box, button);
    if (pressed == nullptr)
        return false;
    bringToFront(box);
    clickWindow(pressed);
    return waitUntil([&] { return !IsWindow(box); });
}

// Closes the window as its close box does.
void askToClose(HWND main) {
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Answers the save dialog by typing the file name and pressing its Save button. Confirms the
// question whether to replace an existing file when it comes.
bool answerSaveDialog(const AppProcess& app, const std::filesystem::path& target) {
    const HWND dialog = app.dialog(ui::kSaveDialogTitle);
    if (dialog == nullptr)
        return false;
    bringToFront(dialog);
    typeText(target.wstring());
    clickWindow(GetDlgItem(dialog, IDOK));
    if (std::filesystem::exists(target)) {
        // "already exists; replace it?" comes from the dialog itself.
        if (const HWND replace = app.dialogWithButton(IDYES, dialog, 3s)) {
            bringToFront(replace);
            clickWindow(GetDlgItem(replace, IDYES));
        }
    }
    return waitUntil([&] { return !IsWindow(dialog); });
}

bool cancelSaveDialog(const AppProcess& app) {
    const HWND dialog = app.dialog(ui::kSaveDialogTitle);
    if (dialog == nullptr)
        return false;
    bringToFront(dialog);
    clickWindow(GetDlgItem(dialog, IDCANCEL));
    return waitUntil([&] { return !IsWindow(dialog); });
}

// --- Start-up ----------------------------------------------------------------------------------

TEST(app_window_test, starts_with_its_caption_controls_and_start_up_tip) {
    AppProcess app;
    ASSERT_TRUE(app.started()) << ramuletExe();
    const HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);

    EXPECT_EQ(textOf(main), ui::kCaption);
    EXPECT_EQ(textOf(main), L"Ramulet - 可视化拖动排序(重制版 1.0)╭(°A° `)╮");
    RECT frame{};
    GetWindowRect(main, &frame);
    EXPECT_EQ(frame.left, 50);
    EXPECT_EQ(frame.top, 50);
    EXPECT_EQ(frame.right - frame.left, 500);
    EXPECT_EQ(frame.bottom - frame.top, 500);

    for (const layout::Control& c : layout::kControls) {
        const HWND child = control(main, c.id);
        ASSERT_NE(child, nullptr) << c.id;
        const RECT place = placeInParent(child);
        EXPECT_EQ(place.left, c.box.left) << c.id;
        EXPECT_EQ(place.top, c.box.top) << c.id;
        EXPECT_EQ(place.right - place.left, c.box.width) << c.id;
        EXPECT_EQ(place.bottom - place.top, c.box.height) << c.id;
    }

    wchar_t name[64] = {};
    GetClassNameW(control(main, layout::kTreeId), name, 64);
    EXPECT_STREQ(name, WC_TREEVIEWW);
    GetClassNameW(control(main, layout::kStatusId), name, 64);
    EXPECT_STREQ(name, STATUSCLASSNAMEW);
    const LONG editStyle = GetWindowLongW(control(main, layout::kInfoEditId), GWL_STYLE);
    EXPECT_TRUE(editStyle & ES_MULTILINE);
    EXPECT_TRUE(editStyle & ES_READONLY);
    EXPECT_TRUE(editStyle & WS_VSCROLL);

    EXPECT_EQ(textOf(control(main, layout::kRefreshId)),
              L"刷新程序树\r\n\r\n(用来监测移动是否有问题)");
    EXPECT_EQ(textOf(control(main, layout::kSortId)), L"自动排序\r\n\r\n(文本长度排序)");
    const std::wstring status = textOf(control(main, layout::kStatusId));
    EXPECT_EQ(status.rfind(L"Tip：树形框初始化完成，请拖入文件。", 0), 0u) << status;
    EXPECT_GT(status.size(), std::wstring(L"Tip：树形框初始化完成，请拖入文件。").size());
    EXPECT_EQ(status, tip(std::wstring(ui::kStartupTip) + ui::kContactNote));

    EXPECT_FALSE(IsWindowEnabled(control(main, layout::kRefreshId)));
    EXPECT_FALSE(IsWindowEnabled(control(main, layout::kSortId)));
    EXPECT_EQ(SendMessageW(control(main, layout::kTreeId), TVM_GETCOUNT, 0, 0), 0);

    // Nothing loaded: closing asks nothing.
    askToClose(main);
    EXPECT_EQ(app.waitForExit(), 0u);
}

TEST(app_window_test, the_executable_carries_its_icon_version_and_manifest) {
    const std::wstring exe = ramuletExe().wstring();
    const HMODULE image = LoadLibraryExW(exe.c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(image, nullptr) << ramuletExe();
    EXPECT_NE(FindResourceW(image, MAKEINTRESOURCEW(1), RT_GROUP_ICON), nullptr);
    const HRSRC manifest = FindResourceW(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const auto* text = static_cast<const char*>(LockResource(LoadResource(image, manifest)));
    const std::string manifestText(text, SizeofResource(image, manifest));
    EXPECT_NE(manifestText.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifestText.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifestText.find("<dpiAware"), std::string::npos);
    FreeLibrary(image);

    DWORD ignored = 0;
    std::vector<char> version(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    ASSERT_FALSE(version.empty());
    ASSERT_TRUE(
        GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
    wchar_t* product = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(version.data(), L"\\StringFileInfo\\080404b0\\ProductName",
                               reinterpret_cast<void**>(&product), &length));
    EXPECT_STREQ(product, L"Ramulet");
    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueW(version.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 1u);
}

// --- A whole session ---------------------------------------------------------------------------

TEST(app_window_test, a_session_with_real_input_saves_the_order_made_in_the_window) {
    TempFolder temp;
    const std::filesystem::path sample = writeSample(temp);
    const std::filesystem::path saved = temp.file(L"saved.e");
    Expected expected(sample);

    AppProcess app(sample.wstring());
    const HWND main = app.mainWindow(true);
    ASSERT_NE(main, nullptr);
    const HWND treeBox = control(main, layout::kTreeId);
    const HWND status = control(main, layout::kStatusId);
    RemoteTree tree(treeBox, app.handle());
    ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(control(main, layout::kSortId)); }));
    EXPECT_EQ(tree.text(tree.root()), L"程序数据");
    EXPECT_EQ(tree.childTexts(tree.root()), expected.topLevelTexts());
    EXPECT_EQ(textOf(control(main, layout::kInfoEditId)), gbkToWide(expected.content.infoText));

    // Drag the first program item onto the lower half of the third one's label.
    bringToFront(main);
    std::vector<HTREEITEM> items = tree.children(tree.root());
    ASSERT_GE(items.size(), 3u);
    const RECT first = tree.labelRect(items[0]);
    const RECT third = tree.labelRect(items[2]);
    drag(toScreen(treeBox, centre(first)), toScreen(treeBox, {centre(third).x, third.bottom - 2}));
    const DropOutcome moved = dropTopLevelItem(expected.model, expected.content.root, 1, 3, true);
    ASSERT_EQ(moved.result, DropOutcome::Result::Moved);
    EXPECT_TRUE(
        waitUntil([&] { return tree.childTexts(tree.root()) == expected.topLevelTexts(); }, 5s));
    EXPECT_EQ(textOf(status), tip(gbkToWide(moved.statusText)));

    // A group node does not move; the reason shows in the status bar.
    items = tree.children(tree.root());
    const size_t programItems = expected.model.workingProgram().assemblies.size();
    ASSERT_GT(items.size(), programItems + 1);
    const RECT group = tree.labelRect(items[programItems]);
    drag(toScreen(treeBox, centre(group)), toScreen(treeBox, centre(first)));
    EXPECT_TRUE(
        waitUntil([&] { return textOf(status) == tip(L"非程序集的项目移动并没有意义。"); }, 5s))
        << textOf(status);
    EXPECT_EQ(tree.childTexts(tree.root()), expected.topLevelTexts());

    // The sort button orders the items by the byte length of their names.
    clickWindow(control(main, layout::kSortId));
    sortAssembliesByNameLength(expected.model.workingProgram().assemblies);
    expected.content = refreshProgramTree(expected.model);
    EXPECT_TRUE(
        waitUntil([&] { return tree.childTexts(tree.root()) == expected.topLevelTexts(); }, 5s));

    // The refresh button rebuilds the tree: an expanded item comes back collapsed.
    items = tree.children(tree.root());
    SendMessageW(treeBox, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(items[0]));
    ASSERT_TRUE(
        SendMessageW(treeBox, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(items[0]), TVIS_EXPANDED) &
        TVIS_EXPANDED);
    clickWindow(control(main, layout::kRefreshId));
    EXPECT_TRUE(waitUntil([&] {
        const std::vector<HTREEITEM> now = tree.children(tree.root());
        return !now.empty() && !(SendMessageW(treeBox, TVM_GETITEMSTATE,
                                              reinterpret_cast<WPARAM>(now[0]), TVIS_EXPANDED) &
                                 TVIS_EXPANDED);
    }));
    EXPECT_EQ(tree.childTexts(tree.root()), expected.topLevelTexts());

    // Closing asks; OK, then the save dialog, typed and confirmed.
    askToClose(main);
    ASSERT_TRUE(answerBox(app, ui::kSaveQuestion, IDOK));
    ASSERT_TRUE(answerSaveDialog(app, saved));
    EXPECT_EQ(app.waitForExit(), 0u);

    ASSERT_TRUE(std::filesystem::exists(saved));
    EXPECT_EQ(readBytes(saved), buildSavedFile(expected.container, expected.model));
    Expected reloaded(saved);
    std::vector<Text> names;
    for (const AssemblyRecord& a : reloaded.model.workingProgram().assemblies)
        names.push_back(a.name);
    std::vector<Text> wanted;
    for (const AssemblyRecord& a : expected.model.workingProgram().assemblies)
        wanted.push_back(a.name);
    EXPECT_EQ(names, wanted);
    // Only the chosen file was written: no temporary file stays behind.
    EXPECT_EQ(filesIn(temp.path()).size(), 2u);
}

TEST(app_window_test, cancel_in_the_question_or_the_save_dialog_writes_nothing) {
    TempFolder temp;
    const std::filesystem::path sample = writeSample(temp);
    const Bytes before = readBytes(sample);
    {
        AppProcess app(sample.wstring());
        const HWND main = app.mainWindow(true);
        ASSERT_NE(main, nullptr);
        askToClose(main);
        ASSERT_TRUE(answerBox(app, ui::kSaveQuestion, IDCANCEL));
        EXPECT_EQ(app.waitForExit(), 0u);
    }
    {
        AppProcess app(sample.wstring());
        const HWND main = app.mainWindow(true);
        ASSERT_NE(main, nullptr);
        askToClose(main);
        ASSERT_TRUE(answerBox(app, ui::kSaveQuestion, IDOK));
        ASSERT_TRUE(cancelSaveDialog(app));
        EXPECT_EQ(app.waitForExit(), 0u);
    }
    EXPECT_EQ(filesIn(temp.path()), std::vector<std::filesystem::path>{L"sample.e"});
    EXPECT_EQ(readBytes(sample), before);
}

TEST(app_window_test, the_save_dialog_starts_in_the_programs_folder_and_adds_the_extension) {
    TempFolder temp;
    const std::filesystem::path sample = writeSample(temp);
    const std::wstring name = L"ramulet-save-here-" + std::to_wstring(GetCurrentProcessId());
    const std::filesystem::path expectedFile = ramuletExe().parent_path() / (name + L".e");
    std::filesystem::remove(expectedFile);

    AppProcess app(sample.wstring());
    const HWND main = app.mainWindow(true);
    ASSERT_NE(main, nullptr);
    askToClose(main);
    ASSERT_TRUE(answerBox(app, ui::kSaveQuestion, IDOK));
    // A bare name: the file goes to the folder the dialog started in, with ".e" added.
    ASSERT_TRUE(answerSaveDialog(app, name));
    EXPECT_EQ(app.waitForExit(), 0u);
    EXPECT_TRUE(std::filesystem::exists(expectedFile)) << expectedFile;
    EXPECT_FALSE(std::filesystem::exists(temp.file(name + L".e")));
    std::filesystem::remove(expectedFile);
}

// --- Files that do not load ------------------------------------------------------------------

// A sample file with the first bytes replaced.
Bytes withPrefix(std::initializer_list<uint8_t> prefix, size_t keep = 0) {
    Bytes bytes(prefix);
    const Bytes sample = makeSampleProject();
    bytes.insert(bytes.end(), sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(keep));
    return bytes;
}

Bytes protectedHeader(const std::array<uint8_t, 4>& version) {
    Bytes bytes(kProtectedMagic.begin(), kProtectedMagic.end());
    bytes.insert(bytes.end(), version.begin(), version.end());
    bytes.resize(64, 0);
    return bytes;
}

// Started on the path, the program shows the message in its box and ends with exit code 0
// once the box is closed.
void expectLoadFailure(const std::wstring& path, const Text& message) {
    AppProcess app(path);
    ASSERT_TRUE(app.started());
    ASSERT_TRUE(answerBox(app, gbkToWide(message), IDOK)) << gbkToWide(message);
    EXPECT_EQ(app.waitForExit(), 0u);
}

TEST(app_window_test, each_read_error_shows_its_text_and_ends_the_program) {
    TempFolder temp;
    Bytes brokenSection(kFileMagic.begin(), kFileMagic.end());
    brokenSection.insert(brokenSection.end(), {0x19, 0x73, 0x11});  // a cut section magic
    const struct {
        const wchar_t* name;
        Bytes bytes;  // empty: the file is not written
        const Text& message;
    } cases[] = {
        {L"missing.e", {}, messages::kNoSuchFile},
        {L"short.e", {'C', 'N', 'W', 'T'}, messages::kBadFileMagic},
        {L"not-a-source.e", withPrefix({'M', 'Z'}, 200), messages::kBadFileMagic},
        {L"broken-section.e", brokenSection, messages::kBadSectionMagic},
        {L"module.e", protectedHeader(kProtectedModuleVersion), messages::kModuleFileRefused},
        {L"future.e", protectedHeader({2, 0, 0, 0}), messages::kUnknownVersion},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "file " << std::filesystem::path(c.name).string());
        if (!c.bytes.empty())
            writeBytes(temp.file(c.name), c.bytes);
        expectLoadFailure(temp.file(c.name).wstring(), c.message);
    }
    // A folder is no file.
    expectLoadFailure(temp.path().wstring(), messages::kNoSuchFile);
}

TEST(app_window_test, a_file_someone_is_writing_is_refused_as_locked) {
    TempFolder temp;
    const std::filesystem::path sample = writeSample(temp);
    const HANDLE writer = CreateFileW(sample.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    expectLoadFailure(sample.wstring(), messages::kFileLocked);
    CloseHandle(writer);
}

// --- Protected files ------------------------------------------------------------------------

// Answers the password prompt: types the password and presses OK, or presses Cancel.
bool answerPassword(const AppProcess& app, const std::optional<std::wstring>& password) {
    const HWND prompt = app.dialog(ui::kPasswordTitle);
    if (prompt == nullptr)
        return false;
    EXPECT_EQ(textOf(GetDlgItem(prompt, app::kPromptTextId)), L"请提供源文件密码");
    const HWND edit = GetDlgItem(prompt, app::kPromptEditId);
    EXPECT_EQ(textOf(edit), L"");
    bringToFront(prompt);
    if (password) {
        typeText(*password);
        EXPECT_EQ(textOf(edit), *password);
        clickWindow(GetDlgItem(prompt, IDOK));
    } else {
        clickWindow(GetDlgItem(prompt, IDCANCEL));
    }
    return waitUntil([&] { return !IsWindow(prompt); });
}

TEST(app_window_test, a_protected_file_opens_with_its_password_only) {
    TempFolder temp;
    const std::filesystem::path plain = writeSample(temp);
    const std::filesystem::path locked = temp.file(L"protected.e");
    writeBytes(locked, fixtures::protectedFile(makeSampleProject(), "Ramulet-2024"));
    {
        SCOPED_TRACE("cancelled");
        AppProcess app(locked.wstring());
        ASSERT_TRUE(answerPassword(app, std::nullopt));
        ASSERT_TRUE(answerBox(app, gbkToWide(messages::kNoPassword), IDOK));
        EXPECT_EQ(app.waitForExit(), 0u);
    }
    {
        SCOPED_TRACE("wrong");
        AppProcess app(locked.wstring());
        ASSERT_TRUE(answerPassword(app, L"ramulet-2024"));  // case matters
        ASSERT_TRUE(answerBox(app, gbkToWide(messages::kWrongPassword), IDOK));
        EXPECT_EQ(app.waitForExit(), 0u);
    }
    {
        SCOPED_TRACE("right");
        const std::filesystem::path saved = temp.file(L"saved.e");
        AppProcess app(locked.wstring());
        ASSERT_TRUE(answerPassword(app, L"Ramulet-2024"));
        const HWND main = app.mainWindow(true);
        ASSERT_NE(main, nullptr);
        RemoteTree tree(control(main, layout::kTreeId), app.handle());
        EXPECT_EQ(tree.childTexts(tree.root()), Expected(plain).topLevelTexts());
        // Saving writes a plain file, and asks for no password.
        askToClose(main);
        ASSERT_TRUE(answerBox(app, ui::kSaveQuestion, IDOK));
        ASSERT_TRUE(answerSaveDialog(app, saved));
        EXPECT_EQ(app.waitForExit(), 0u);
        Expected fromPlain(plain);
        EXPECT_EQ(readBytes(saved), buildSavedFile(fromPlain.container, fromPlain.model));
    }
}

// --- Saves that fail ----------------------------------------------------------------------------

// Loads the sample, closes, says OK and chooses `target`; the write fails, the error names
// the target, the window stays open; then it closes without saving.
void expectSaveFailure(const TempFolder& temp, const std::filesystem::path& target) {
    const std::filesystem::path sample = writeSample(temp);
    AppProcess app(sample.wstring());
    const HWND main = app.mainWindow(true);
    ASSERT_NE(main, nullptr);
    askToClose(main);
    ASSERT_TRUE(answerBox(app, ui::kSaveQuestion, IDOK));
    ASSERT_TRUE(answerSaveDialog(app, target));

    const HWND box = app.dialog(ui::kMessageTitle);
    ASSERT_NE(box, nullptr);
    const std::wstring message = messageBoxText(box);
    EXPECT_EQ(message.rfind(ui::kSaveFailed, 0), 0u) << message;
    EXPECT_NE(message.find(target.wstring()), std::wstring::npos) << message;
    EXPECT_NE(message.find(ui::kErrorCode), std::wstring::npos) << message;
    bringToFront(box);
    clickWindow(GetDlgItem(box, IDOK));
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(box); }));

    // Closing was vetoed: the window is still there, with its file.
    EXPECT_FALSE(app.waitForExit(300ms).has_value());
    EXPECT_TRUE(IsWindow(main));
    EXPECT_TRUE(IsWindowEnabled(control(main, layout::kSortId)));

    askToClose(main);
    ASSERT_TRUE(answerBox(app, ui::kSaveQuestion, IDCANCEL));
    EXPECT_EQ(app.waitForExit(), 0u);
}

std::vector<std::filesystem::path> sortedFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files = filesIn(folder);
    std::sort(files.begin(), files.end());
    return files;
}

TEST(app_window_test, a_save_to_a_read_only_file_leaves_it_and_keeps_the_window) {
    TempFolder temp;
    const std::filesystem::path target = temp.file(L"read-only.e");
    const Bytes old = {'o', 'l', 'd'};
    writeBytes(target, old);
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    expectSaveFailure(temp, target);
    EXPECT_EQ(readBytes(target), old);
    EXPECT_EQ(sortedFiles(temp.path()),
              (std::vector<std::filesystem::path>{L"read-only.e", L"sample.e"}));
}

TEST(app_window_test, a_save_to_a_file_in_use_leaves_it_and_keeps_the_window) {
    TempFolder temp;
    const std::filesystem::path target = temp.file(L"in-use.e");
    const Bytes old = {'o', 'l', 'd'};
    writeBytes(target, old);
    // Held open without sharing, as another program that has it open would.
    const HANDLE holder =
        CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    expectSaveFailure(temp, target);
    CloseHandle(holder);
    EXPECT_EQ(readBytes(target), old);
    EXPECT_EQ(sortedFiles(temp.path()),
              (std::vector<std::filesystem::path>{L"in-use.e", L"sample.e"}));
}

TEST(app_window_test, a_save_into_a_missing_folder_writes_nothing_and_keeps_the_window) {
    TempFolder temp;
    const std::filesystem::path target = temp.path() / L"no-such-folder" / L"saved.e";
    expectSaveFailure(temp, target);
    EXPECT_FALSE(std::filesystem::exists(target.parent_path()));
    EXPECT_EQ(sortedFiles(temp.path()), std::vector<std::filesystem::path>{L"sample.e"});
}

// --- Drops ---------------------------------------------------------------------------------------

// Drops go through OLE from this process, dragged with the real mouse onto the information
// box, as a drag out of Explorer would arrive. The press is made on the status bar, which
// does nothing with it (a press on the tree would start a drag of the tree's own).
POINT infoBoxPoint(HWND main) {
    RECT rect{};
    GetWindowRect(control(main, layout::kInfoEditId), &rect);
    return centre(rect);
}

POINT pressPoint(HWND main) {
    RECT rect{};
    GetWindowRect(control(main, layout::kStatusId), &rect);
    return centre(rect);
}

TEST(app_window_test, a_file_dropped_from_outside_is_loaded) {
    TempFolder temp;
    const std::filesystem::path sample = writeSample(temp);
    AppProcess app;
    const HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);
    bringToFront(main);
    const POINT to = infoBoxPoint(main);
    dragFilesWithMouse({sample.wstring()}, pressPoint(main), to);
    ASSERT_NE(app.mainWindow(true), nullptr);
    RemoteTree tree(control(main, layout::kTreeId), app.handle());
    EXPECT_EQ(tree.childTexts(tree.root()), Expected(sample).topLevelTexts());
    EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(control(main, layout::kSortId)); }));
}

TEST(app_window_test, a_failed_drop_keeps_the_loaded_file_and_window) {
    TempFolder temp;
    const std::filesystem::path sample = writeSample(temp);
    const std::filesystem::path other = temp.file(L"other.e");
    writeBytes(other, makeSampleProject());
    const std::filesystem::path saved = temp.file(L"saved.e");
    Expected expected(sample);

    AppProcess app(sample.wstring());
    const HWND main = app.mainWindow(true);
    ASSERT_NE(main, nullptr);
    bringToFront(main);
    const POINT to = infoBoxPoint(main);
    const HWND treeBox = control(main, layout::kTreeId);
    RemoteTree tree(treeBox, app.handle());

    // Two files at once arrive as one text with a line break after each path: no such file.
    std::thread drop([&] {
        dragFilesWithMouse({sample.wstring(), other.wstring()}, pressPoint(main), to);
    });
    const bool answered = answerBox(app, gbkToWide(messages::kNoSuchFile), IDOK);
    drop.join();
    ASSERT_TRUE(answered);

    // The program goes on with the file it had.
    EXPECT_FALSE(app.waitForExit(300ms).has_value());
    EXPECT_EQ(tree.childTexts(tree.root()), expected.topLevelTexts());
    EXPECT_TRUE(IsWindowEnabled(control(main, layout::kSortId)));
    EXPECT_TRUE(IsWindowEnabled(control(main, layout::kRefreshId)));
    EXPECT_EQ(textOf(control(main, layout::kStatusId)),
              tip(std::wstring(ui::kKeptLoadedFile) + L"sample.e"));

    // And saves it: the container and the model are those of the first file.
    clickWindow(control(main, layout::kSortId));
    sortAssembliesByNameLength(expected.model.workingProgram().assemblies);
    expected.content = refreshProgramTree(expected.model);
    EXPECT_TRUE(
        waitUntil([&] { return tree.childTexts(tree.root()) == expected.topLevelTexts(); }, 5s));
    askToClose(main);
    ASSERT_TRUE(answerBox(app, ui::kSaveQuestion, IDOK));
    ASSERT_TRUE(answerSaveDialog(app, saved));
    EXPECT_EQ(app.waitForExit(), 0u);
    EXPECT_EQ(readBytes(saved), buildSavedFile(expected.container, expected.model));
}

TEST(app_window_test, a_failed_drop_with_nothing_loaded_ends_the_program) {
    TempFolder temp;
    AppProcess app;
    const HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);
    bringToFront(main);
    const POINT to = infoBoxPoint(main);
    std::thread drop(
        [&] { dragFilesWithMouse({temp.file(L"gone.e").wstring()}, pressPoint(main), to); });
    const bool answered = answerBox(app, gbkToWide(messages::kNoSuchFile), IDOK);
    drop.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(app.waitForExit(), 0u);
}

}  // namespace
}  // namespace ramulet::apptest
