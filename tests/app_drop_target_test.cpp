// The main window's drop target, called as OLE calls it, with a real data object.
#include <gtest/gtest.h>

#include "app/file_drop_target.h"
#include "app_drop_source.h"

namespace ramulet::apptest {
namespace {

struct Dropped {
    std::vector<std::wstring> texts;
    app::FileDropTarget target{[this](std::wstring text) { texts.push_back(std::move(text)); }};

    DWORD drop(IDataObject* data, DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE) {
        DWORD effect = allowed;
        EXPECT_EQ(target.DragEnter(data, MK_LBUTTON, {10, 10}, &effect), S_OK);
        const DWORD entered = effect;
        effect = allowed;
        EXPECT_EQ(target.DragOver(MK_LBUTTON, {12, 12}, &effect), S_OK);
        EXPECT_EQ(effect, entered);
        effect = allowed;
        EXPECT_EQ(target.Drop(data, 0, {12, 12}, &effect), S_OK);
        return effect;
    }
};

TEST(app_drop_target_test, one_file_arrives_as_its_path) {
    Dropped dropped;
    FileListData data({L"C:\\项目\\示例.e"});
    EXPECT_EQ(dropped.drop(&data), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(dropped.texts, std::vector<std::wstring>{L"C:\\项目\\示例.e"});
}

TEST(app_drop_target_test, several_files_arrive_as_one_text_each_path_with_a_line_break) {
    Dropped dropped;
    FileListData data({L"C:\\a.e", L"D:\\b c.e", L"E:\\d.e"});
    dropped.drop(&data);
    EXPECT_EQ(dropped.texts, std::vector<std::wstring>{L"C:\\a.e\r\nD:\\b c.e\r\nE:\\d.e\r\n"});
    EXPECT_EQ(app::joinDroppedPaths({L"x"}), L"x");
    EXPECT_EQ(app::joinDroppedPaths({L"x", L"y"}), L"x\r\ny\r\n");
}

// Data without a file list (text dragged from an editor, say).
class TextOnlyData final : public IDataObject {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format->cfFormat == CF_UNICODETEXT ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
};

TEST(app_drop_target_test, data_without_a_file_list_is_refused) {
    Dropped dropped;
    TextOnlyData data;
    EXPECT_EQ(dropped.drop(&data), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_TRUE(dropped.texts.empty());
    EXPECT_FALSE(app::droppedPaths(&data).has_value());
}

TEST(app_drop_target_test, a_source_that_offers_only_a_link_gets_a_link) {
    Dropped dropped;
    FileListData data({L"C:\\a.e"});
    EXPECT_EQ(dropped.drop(&data, DROPEFFECT_LINK), static_cast<DWORD>(DROPEFFECT_LINK));
    EXPECT_EQ(dropped.texts.size(), 1u);
}

TEST(app_drop_target_test, answers_the_com_protocol_without_owning_itself) {
    Dropped dropped;
    void* object = nullptr;
    EXPECT_EQ(dropped.target.QueryInterface(IID_IDropTarget, &object), S_OK);
    EXPECT_EQ(object, static_cast<IDropTarget*>(&dropped.target));
    EXPECT_EQ(dropped.target.references(), 1u);
    static_cast<IDropTarget*>(object)->Release();
    EXPECT_EQ(dropped.target.references(), 0u);
    EXPECT_EQ(dropped.target.QueryInterface(IID_IDataObject, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
}

}  // namespace
}  // namespace ramulet::apptest
