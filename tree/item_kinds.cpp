#include "tree/item_kinds.h"

namespace ramulet {

namespace {

struct KindName {
    int kind;
    const char* name;  // GBK
};

constexpr KindName kKindNames[] = {
    {4, "\xd7\xd3\xb3\xcc\xd0\xf2\xbb\xf2\xb7\xbd\xb7\xa8"},  // 子程序或方法
    {5, "\xc8\xab\xbe\xd6\xb1\xe4\xc1\xbf"},                  // 全局变量
    {9, "\xb3\xcc\xd0\xf2\xbc\xaf"},                          // 程序集
    {10, "Dll\xc3\xfc\xc1\xee"},                              // Dll命令
    {21,
     "\xb3\xcc\xd0\xf2\xbc\xaf\xb1\xe4\xc1\xbf\xbb\xf2\xc0\xe0\xb3\xc9\xd4\xb1"},  // 程序集变量或类成员
    {22, "\xbf\xd8\xbc\xfe\xd7\xca\xd4\xb4"},                                      // 控件资源
    {24, "\xb3\xa3\xc1\xbf\xd7\xca\xd4\xb4"},                                      // 常量资源
    {25, "\xb4\xb0\xbf\xda\xb3\xcc\xd0\xf2\xbc\xaf"},                  // 窗口程序集
    {37, "\xb1\xe4\xc1\xbf\xbb\xf2\xb2\xce\xca\xfd"},                  // 变量或参数
    {40, "\xcd\xbc\xc6\xac\xd7\xca\xd4\xb4"},                          // 图片资源
    {53, "\xca\xfd\xbe\xdd\xc0\xe0\xd0\xcd\xb3\xc9\xd4\xb1"},          // 数据类型成员
    {56, "\xc9\xf9\xd2\xf4\xd7\xca\xd4\xb4"},                          // 声音资源
    {65, "\xd7\xd4\xb6\xa8\xd2\xe5\xca\xfd\xbe\xdd\xc0\xe0\xd0\xcd"},  // 自定义数据类型
    {69, "DLL\xc3\xfc\xc1\xee\xb2\xce\xca\xfd"},                       // DLL命令参数
    {73, "\xc0\xe0"},                                                  // 类
    {82, "\xb4\xb0\xbf\xda\xd7\xca\xd4\xb4"},                          // 窗口资源
};

// 未知
constexpr const char* kUnknownKind = "\xce\xb4\xd6\xaa";

}  // namespace

Text kindName(int kind) {
    for (const KindName& k : kKindNames) {
        if (k.kind == kind)
            return k.name;
    }
    return kUnknownKind;
}

Text moveReportText(TreeNodeTag newTag, const Text& newText, TreeNodeTag targetTag,
                    const Text& targetText) {
    // The quotation marks are the full-width “ (A1 B0) and ” (A1 B1).
    const Text open = "]\xa1\xb0";
    return "[" + kindName(kindOf(newTag)) + open + newText + "\xa1\xb1  > >  [" +
           kindName(kindOf(targetTag)) + open + targetText + "\xa1\xb1";
}

}  // namespace ramulet
