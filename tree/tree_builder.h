// Rebuilding the program tree and the information text from the model.
#pragma once

#include "model/project_model.h"
#include "tree/tree_node.h"

namespace ramulet {

// The fixed node texts, GBK.
namespace nodetext {
extern const Text kRoot;           // 程序数据
extern const Text kGlobals;        // 全局变量
extern const Text kDataTypes;      // 自定义数据类型
extern const Text kDllCommands;    // Dll命令
extern const Text kWindows;        // 窗口
extern const Text kConstants;      // 常量表...
extern const Text kResourceTable;  // 资源表
extern const Text kSounds;         // 声音...
extern const Text kPictures;       // 图片或图片组...
extern const Text kModules;        // 模块引用表
extern const Text kExternalFiles;  // 外部文件记录表
}  // namespace nodetext

// Image indexes of the tree box's image list.
enum TreeImage : int {
    kImageRoot = 0,
    kImageAssembly = 1,
    kImageAssemblyWithBase = 2,  // also the data types
    kImageGlobal = 3,
    kImageDllGroup = 4,
    kImageWindow = 5,
    kImageConstant = 6,
    kImageResourceTable = 7,
    kImageModuleTable = 8,
    kImageModule = 9,  // also the external files
    kImageSub = 11,
    kImageDllCommand = 12,
    kImageSound = 13,
    kImagePicture = 14,
    kImageCount = 15,
};

struct ProgramTreeContent {
    TreeNode root;  // "程序数据" with every node below it
    Text infoText;  // the edit box text, GBK, lines ended by "\r\n"
};

// What a refresh does to the model and shows: sets flagged items apart, then describes the
// tree. Two refreshes in a row give the same content.
ProgramTreeContent refreshProgramTree(ProjectModel& model);

// The content alone, from a model whose flagged items are already set apart.
ProgramTreeContent buildProgramTree(const ProjectModel& model);

// The file part of a module path: after a leading "$", or after the last "\" (stepping over
// double-byte characters), or the whole path.
Text modulePathFilePart(const Text& path);

}  // namespace ramulet
