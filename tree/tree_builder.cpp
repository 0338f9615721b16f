#include "tree/tree_builder.h"

#include <unordered_map>

namespace ramulet {

namespace nodetext {
// 程序数据
const Text kRoot = "\xb3\xcc\xd0\xf2\xca\xfd\xbe\xdd";
// 全局变量
const Text kGlobals = "\xc8\xab\xbe\xd6\xb1\xe4\xc1\xbf";
// 自定义数据类型
const Text kDataTypes = "\xd7\xd4\xb6\xa8\xd2\xe5\xca\xfd\xbe\xdd\xc0\xe0\xd0\xcd";
// Dll命令
const Text kDllCommands = "Dll\xc3\xfc\xc1\xee";
// 窗口
const Text kWindows = "\xb4\xb0\xbf\xda";
// 常量表...
const Text kConstants = "\xb3\xa3\xc1\xbf\xb1\xed...";
// 资源表
const Text kResourceTable = "\xd7\xca\xd4\xb4\xb1\xed";
// 声音...
const Text kSounds = "\xc9\xf9\xd2\xf4...";
// 图片或图片组...
const Text kPictures = "\xcd\xbc\xc6\xac\xbb\xf2\xcd\xbc\xc6\xac\xd7\xe9...";
// 模块引用表
const Text kModules = "\xc4\xa3\xbf\xe9\xd2\xfd\xd3\xc3\xb1\xed";
// 外部文件记录表
const Text kExternalFiles = "\xcd\xe2\xb2\xbf\xce\xc4\xbc\xfe\xbc\xc7\xc2\xbc\xb1\xed";
}  // namespace nodetext

namespace {

TreeNode& addTreeNode(TreeNode& parent, int image, const Text& text, TreeNodeTag tag) {
    parent.children.push_back(TreeNode{text, image, tag, {}});
    return parent.children.back();
}

// Assemblies directly under the root with their subs, then the groups of globals, data types
// and DLL commands that are not empty.
void addProgramNodes(TreeNode& root, const ProgramSection& program) {
    // Subs by owner, in table order. The first assembly with an id takes all its subs; a
    // second assembly with the same id finds them gone and shows none.
    std::unordered_map<ObjectId, std::vector<const SubRecord*>> subsByOwner;
    for (const SubRecord& sub : program.subs)
        subsByOwner[sub.ownerId].push_back(&sub);

    for (const AssemblyRecord& assembly : program.assemblies) {
        TreeNode& node =
            addTreeNode(root, assembly.word2 == 0 ? kImageAssembly : kImageAssemblyWithBase,
                        assembly.name, assembly.key.id);
        auto owned = subsByOwner.find(assembly.key.id);
        if (owned == subsByOwner.end())
            continue;
        for (const SubRecord* sub : owned->second)
            addTreeNode(node, kImageSub, sub->name, sub->key.id);
        subsByOwner.erase(owned);
    }
    if (!program.globals.empty()) {
        TreeNode& group = addTreeNode(root, kImageGlobal, nodetext::kGlobals, kGlobalGroupTag);
        for (const VariableRecord& v : program.globals)
            addTreeNode(group, kImageGlobal, v.name, v.key.id);
    }
    if (!program.dataTypes.empty()) {
        TreeNode& group =
            addTreeNode(root, kImageAssemblyWithBase, nodetext::kDataTypes, kDataTypeGroupTag);
        for (const DataTypeRecord& d : program.dataTypes) {
            addTreeNode(group, kImageAssemblyWithBase, d.name, d.key.id);
        }
    }
    if (!program.dllCommands.empty()) {
        TreeNode& group = addTreeNode(root, kImageDllGroup, nodetext::kDllCommands, kDllGroupTag);
        for (const DllCommandRecord& d : program.dllCommands) {
            addTreeNode(group, kImageDllCommand, d.name, d.key.id);
        }
    }
}

void addResourceNodes(TreeNode& root, const ResourceSection& resources) {
    if (!resources.windows.empty()) {
        TreeNode& group = addTreeNode(root, kImageWindow, nodetext::kWindows, kWindowGroupTag);
        for (const WindowRecord& w : resources.windows)
            addTreeNode(group, kImageWindow, w.name, w.key.id);
    }
    // Built apart and appended when complete: a reference into a child list that is still
    // growing would not stay valid.
    TreeNode constants{nodetext::kConstants, kImageConstant, kResourceGroupTag, {}};
    TreeNode sounds{nodetext::kSounds, kImageSound, kResourceGroupTag, {}};
    TreeNode pictures{nodetext::kPictures, kImagePicture, kResourceGroupTag, {}};
    for (const ConstantRecord& c : resources.constants) {
        if (c.name.empty())
            continue;
        switch (resourceClassOf(c.key.id)) {
            case static_cast<uint32_t>(ResourceClass::Constant):
                addTreeNode(constants, kImageConstant, c.name, c.key.id);
                break;
            case static_cast<uint32_t>(ResourceClass::Sound):
                addTreeNode(sounds, kImageSound, c.name, c.key.id);
                break;
            case static_cast<uint32_t>(ResourceClass::Picture):
                addTreeNode(pictures, kImagePicture, c.name, c.key.id);
                break;
            default:
                break;
        }
    }
    root.children.push_back(std::move(constants));
    TreeNode& table = addTreeNode(root, kImageResourceTable, nodetext::kResourceTable, 0);
    table.children.push_back(std::move(sounds));
    table.children.push_back(std::move(pictures));
}

}  // namespace

Text modulePathFilePart(const Text& path) {
    if (!path.empty() && path[0] == '$')
        return path.substr(1);
    size_t lastSeparator = Text::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<uint8_t>(path[i]);
        if (byte >= 0x80) {
            ++i;  // the second byte of a double-byte character is never a separator
        } else if (byte == '\\') {
            lastSeparator = i;
        }
    }
    return lastSeparator == Text::npos ? path : path.substr(lastSeparator + 1);
}

ProgramTreeContent buildProgramTree(const ProjectModel& model) {
    ProgramTreeContent content;
    content.infoText = renderSystemInfo(model.systemInfo) + Text(25, '=') + "\r\n" +
                       renderUserInfo(model.userInfo);
    content.root = TreeNode{nodetext::kRoot, kImageRoot, 0, {}};
    TreeNode& root = content.root;
    addProgramNodes(root, model.workingProgram());
    addResourceNodes(root, model.workingResources());

    TreeNode& modules = addTreeNode(root, kImageModuleTable, nodetext::kModules, 0);
    for (const ModuleReference& m : model.moduleReferences) {
        addTreeNode(modules, kImageModule, m.name + " - " + modulePathFilePart(m.path), 0);
    }
    TreeNode& external = addTreeNode(root, kImageModule, nodetext::kExternalFiles, 0);
    for (const Text& entry : model.externalFiles.entries)
        addTreeNode(external, kImageModule, entry, 0);
    return content;
}

ProgramTreeContent refreshProgramTree(ProjectModel& model) {
    setApartForRefresh(model);
    return buildProgramTree(model);
}

}  // namespace ramulet
