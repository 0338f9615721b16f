// The real ramulet.exe, driven from outside as a user would: it is started on files written
// with the project's own fixtures, its windows and dialogs are found and answered, items are
// dragged and buttons clicked with real mouse input, and what it saves is read back with the
// core.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

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

}  // namespace
}  // namespace ramulet::apptest
