// Status texts of the move rules, GBK.
#pragma once

#include "container/bytes.h"

namespace ramulet::movetext {

extern const Text kRootFixed;       // 根节点不能移动
extern const Text kNotProgramItem;  // 非程序集的项目移动并没有意义。
extern const Text kNoSubMove;       // 暂不支持移动子程序
extern const Text kNoMove;          // 暂不支持移动
extern const Text kCrossLevel;      // 暂不支持节点跨越式移动。
extern const Text kNoSiblings;      // 移动出错了，获取不到同级节点？。
extern const Text kMoveFailed;      // 啊哦~，移动出错了？

}  // namespace ramulet::movetext
