// The pictures of the program tree: one 16 x 16 image list, drawn in code.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "tree/program_tree.h"
#include "tree/win32_handles.h"

namespace ramulet {

// The image indexes the tree builder uses, by the role of the node.
enum TreeImage : int {
    kImageRoot = 0,            // "程序数据"
    kImageAssembly = 1,        // an assembly, window assembly or class with word2 0
    kImageAssemblyMarked = 2,  // one with word2 set; also the data types
    kImageGlobal = 3,          // "全局变量" and each global variable
    kImageDllGroup = 4,        // "Dll命令"
    kImageWindow = 5,          // "窗口" and each window
    kImageConstant = 6,        // "常量表..." and each constant
    kImageResourceTable = 7,   // "资源表"
    kImageModuleTable = 8,     // "模块引用表"
    kImageFile = 9,            // module references, "外部文件记录表" and its records
    kImageSpare = 10,          // not used by the tree
    kImageSub = 11,            // subs and methods
    kImageDllCommand = 12,     // each DLL command
    kImageSound = 13,          // "声音..." and each sound
    kImagePicture = 14,        // "图片或图片组..." and each picture
};

inline constexpr int kTreeImageCount = 15;
inline constexpr int kTreeImageSize = 16;

// A new list of kTreeImageCount masked pictures; null when GDI cannot make it.
UniqueImageList makeProgramTreeImages();

// Gives the tree its normal image list (not owned by the tree: keep it alive while it is
// shown). Returns the list the tree had before.
HIMAGELIST setTreeImages(ProgramTree& tree, HIMAGELIST images);

}  // namespace ramulet
