// The texts the window program shows, as UTF-16. Texts that come from the core (file messages,
// move reports, node texts) are GBK and are converted with code page 936 where they are shown.
#pragma once

namespace ramulet::ui {

// The caption: the program name, the edition tag in parentheses, then the little figure.
inline constexpr wchar_t kCaption[] = L"Ramulet - 可视化拖动排序(重制版 1.0)╭(°A° `)╮";

inline constexpr wchar_t kRefreshCaption[] = L"刷新程序树\r\n\r\n(用来监测移动是否有问题)";
inline constexpr wchar_t kSortCaption[] = L"自动排序\r\n\r\n(文本长度排序)";

// Every status message is shown behind this prefix (the colon is the full-width one).
inline constexpr wchar_t kTipPrefix[] = L"Tip：";
// The start-up tip, followed by where to report problems.
inline constexpr wchar_t kStartupTip[] = L"树形框初始化完成，请拖入文件。";
inline constexpr wchar_t kContactNote[] = L"问题反馈：ramulet@users.noreply.example";

inline constexpr wchar_t kMessageTitle[] = L"信息：";
inline constexpr wchar_t kSaveQuestion[] = L"是否保存当前文件？";

inline constexpr wchar_t kSaveDialogTitle[] = L"请选择要操作的易源码文件：";
// The filter pair "易源码文件(*.e)|*.e" as the dialog takes it: NUL-separated, NUL-NUL ended
// (the literal adds the final NUL).
inline constexpr wchar_t kSaveDialogFilter[] = L"易源码文件(*.e)\0*.e\0";
inline constexpr wchar_t kSaveDialogExtension[] = L"e";

inline constexpr wchar_t kPasswordTitle[] = L"请提供文件密码";
inline constexpr wchar_t kPasswordPrompt[] = L"请提供源文件密码";
inline constexpr wchar_t kOk[] = L"确定";
inline constexpr wchar_t kCancel[] = L"取消";

// A failed write: the first line, then the file, then the system's reason.
inline constexpr wchar_t kSaveFailed[] = L"保存文件失败，文件未被改动：";
inline constexpr wchar_t kSaveRetry[] = L"请换一个位置再试，或在询问保存时选择“取消”。";
inline constexpr wchar_t kErrorCode[] = L"错误代码";
// A failed drop while a file is loaded keeps that file; the tip says which one is still shown.
inline constexpr wchar_t kKeptLoadedFile[] = L"未能打开拖入的文件，仍显示：";

}  // namespace ramulet::ui
