#include "cli/commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/tree_printer.h"
#include "container/atomic_file.h"
#include "fixtures/sample_project.h"
#include "model/project_file.h"

namespace ramulet {
namespace {

namespace fs = std::filesystem;

class cli_test : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("ramulet-cli-" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        sample_ = (dir_ / "sample.e").string();
        ASSERT_EQ(writeFileAtomically(sample_, makeSampleProject()), "");
    }
    void TearDown() override { fs::remove_all(dir_); }

    int run(std::vector<std::string> args) {
        out_.str({});
        err_.str({});
        return runCli(args, out_, err_, [] { return std::nullopt; });
    }
    static Bytes read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    std::vector<std::string> topLevelNames(const std::string& file) {
        EXPECT_EQ(run({"show", file}), 0);
        std::vector<std::string> names;
        std::istringstream lines(out_.str().substr(out_.str().find("----\n") + 5));
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("  ", 0) == 0 && line[2] != ' ') {
                names.push_back(line.substr(line.rfind('\t') + 1));
            }
        }
        return names;
    }

    fs::path dir_;
    std::string sample_;
    std::ostringstream out_, err_;
};

TEST_F(cli_test, show_prints_information_then_the_tree) {
    ASSERT_EQ(run({"show", sample_}), 0);
    const std::string text = out_.str();
    EXPECT_NE(text.find("项目语言：中文(GBK)\n"), std::string::npos);
    EXPECT_NE(text.find("=========================\n程序名称：示例项目\n"), std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_NE(text.find("----\n0\t0x00000000\t程序数据\n  2\t0x19000001\t窗口程序集_启动窗口\n"
                        "    11\t0x04000001\t_启动窗口_创建完毕\n"),
              std::string::npos);
    EXPECT_NE(text.find("    9\t0x00000000\t网络模块 - 网络模块.ec\n"), std::string::npos);
    // The item set apart by the mark table is not shown.
    EXPECT_EQ(text.find("程序集_内部"), std::string::npos);
}

TEST(cli_printer_test, node_texts_are_escaped_on_one_line) {
    EXPECT_EQ(printableNodeText("a\r\nb\tc\x01\x7f"), "a\\r\\nb\\tc\\x01\\x7f");
    EXPECT_EQ(printableNodeText("\xd6\xd0"), "中");
    EXPECT_EQ(printableNodeText("\xff"
                                "a\x81"),
              "\xEF\xBF\xBD"
              "a\xEF\xBF\xBD");
}

TEST_F(cli_test, save_without_change_and_check) {
    const std::string out = (dir_ / "out.e").string();
    ASSERT_EQ(run({"save", sample_, "-o", out}), 0) << err_.str();
    // The sample has an item set apart: it moves to the end of its tables.
    EXPECT_EQ(run({"check", sample_}), 1);
    EXPECT_NE(out_.str().find("items set apart"), std::string::npos);
    // The saved file is canonical: saving it again changes nothing.
    EXPECT_EQ(run({"check", out}), 0) << out_.str();
    EXPECT_NE(out_.str().find("\nbyte-identical\n"), std::string::npos);
}

TEST_F(cli_test, sort_orders_by_name_length) {
    const std::string out = (dir_ / "sorted.e").string();
    ASSERT_EQ(run({"sort", sample_, "-o", out}), 0) << err_.str();
    EXPECT_EQ(
        topLevelNames(out),
        (std::vector<std::string>{"甲", "程序集_工具", "类_文件读写", "窗口程序集_启动窗口",
                                  "程序集_网络通信模块", "全局变量", "自定义数据类型", "Dll命令",
                                  "窗口", "常量表...", "资源表", "模块引用表", "外部文件记录表"}));
}

TEST_F(cli_test, move_as_a_drag_would) {
    const std::string out = (dir_ / "moved.e").string();
    ASSERT_EQ(run({"move", sample_, "1", "3", "--after", "-o", out}), 0) << err_.str();
    EXPECT_EQ(out_.str(), "Tip：[窗口程序集]“窗口程序集_启动窗口”  > >  [程序集]“甲”\nsaved " +
                              out + " (" + std::to_string(fs::file_size(out)) + " bytes)\n");
    const auto names = topLevelNames(out);
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names[2], "窗口程序集_启动窗口");

    // Onto a group node: refused with the tree's text, nothing written.
    const std::string refused = (dir_ / "refused.e").string();
    EXPECT_EQ(run({"move", sample_, "1", "6", "--after", "-o", refused}), 1);
    EXPECT_EQ(err_.str(), "Tip：非程序集的项目移动并没有意义。\n");
    EXPECT_FALSE(fs::exists(refused));
}

TEST_F(cli_test, failures_leave_out_untouched) {
    const std::string out = (dir_ / "existing.e").string();
    const Bytes old = {'o', 'l', 'd'};
    ASSERT_EQ(writeFileAtomically(out, old), "");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string error;
    };
    const std::string bad = (dir_ / "bad.e").string();
    ASSERT_EQ(writeFileAtomically(bad, asBytes("CNWTEPRX")), "");
    const Case cases[] = {
        {{"save", (dir_ / "missing.e").string(), "-o", out}, 1, "文件路径错误或文件不存在\n"},
        {{"save", dir_.string(), "-o", out}, 1, "文件路径错误或文件不存在\n"},
        {{"sort", bad, "-o", out}, 1, "分析文件失败，文件标志头不正确\n"},
        {{"save", sample_}, 2, ""},
        {{"move", sample_, "0", "2", "-o", out}, 2, ""},
        {{"frobnicate", sample_}, 2, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.args), c.status) << c.args[0];
        if (!c.error.empty()) {
            EXPECT_EQ(err_.str(), c.error);
        }
        EXPECT_EQ(read(out), old);
    }
    // A folder that does not exist: the write fails and says so.
    EXPECT_EQ(run({"save", sample_, "-o", (dir_ / "no" / "such.e").string()}), 1);
    EXPECT_NE(err_.str().find("cannot write"), std::string::npos);
    EXPECT_EQ(fs::directory_entry(dir_ / "no").exists(), false);
}

TEST_F(cli_test, help_explains_the_commands) {
    EXPECT_EQ(run({"-h"}), 0);
    for (const char* word : {"show", "save", "sort", "move", "check", "--password", "--after"}) {
        EXPECT_NE(out_.str().find(word), std::string::npos) << word;
    }
}

}  // namespace
}  // namespace ramulet
