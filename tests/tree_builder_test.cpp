#include "tree/tree_builder.h"

#include <gtest/gtest.h>

namespace ramulet {
namespace {

std::vector<Text> texts(const TreeNode& node) {
    std::vector<Text> out;
    for (const TreeNode& child : node.children)
        out.push_back(child.text);
    return out;
}

ProjectModel emptyLoadedModel() {
    ProjectModel model = ProjectModel::initial();
    loadProject(model, SectionContainer{});
    return model;
}

TEST(tree_builder_test, module_path_file_part) {
    struct Case {
        Text path, part;
    };
    const Case cases[] = {
        {"$abc.ec", "abc.ec"},
        {"C:\\lib\\abc.ec", "abc.ec"},
        {"abc.ec", "abc.ec"},
        {"C:\\lib\\", ""},
        // 0x5C is the second byte of this double-byte character, not a separator.
        {"C:\\\x95\\x.ec", "\x95\\x.ec"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(modulePathFilePart(c.path), c.part) << c.path;
}

TEST(tree_builder_test, empty_model_shows_the_fixed_groups) {
    ProjectModel model = emptyLoadedModel();
    const ProgramTreeContent content = refreshProgramTree(model);
    EXPECT_EQ(content.root.text, nodetext::kRoot);
    EXPECT_EQ(texts(content.root),
              (std::vector<Text>{nodetext::kConstants, nodetext::kResourceTable, nodetext::kModules,
                                 nodetext::kExternalFiles}));
    EXPECT_EQ(texts(content.root.children[1]),
              (std::vector<Text>{nodetext::kSounds, nodetext::kPictures}));
}

TEST(tree_builder_test, program_and_resource_nodes) {
    ProjectModel model = emptyLoadedModel();
    ProgramSection& p = model.workingProgram();
    AssemblyRecord a1;
    a1.key.id = 0x09000001;
    a1.name = "Main";
    AssemblyRecord form = a1;
    form.key.id = 0x19000005;
    form.word2 = 7;
    form.name = "";
    AssemblyRecord twin = a1;  // same id: shows no subs
    twin.name = "Twin";
    p.assemblies = {a1, form, twin};
    SubRecord s1, s2, orphan;
    s1.key.id = 0x04000001;
    s1.ownerId = a1.key.id;
    s1.name = "one";
    s2 = s1;
    s2.key.id = 0x04000002;
    s2.name = "two";
    orphan.ownerId = 0x09000077;
    orphan.name = "orphan";
    p.subs = {s1, orphan, s2};
    VariableRecord g;
    g.key.id = 0x05000001;
    g.name = "g";
    p.globals = {g};
    DllCommandRecord d;
    d.key.id = 0x0A000001;
    d.name = "MessageBoxA";
    p.dllCommands = {d};

    ResourceSection& r = model.workingResources();
    WindowRecord w;
    w.key.id = 0x52000001;
    r.windows = {w};  // an empty name still gets its node
    ConstantRecord c;
    c.key.id = 0x18000001;
    c.name = "PI";
    ConstantRecord sound = c;
    sound.key.id = 0x38000001;
    sound.name = "beep";
    ConstantRecord picture = c;
    picture.key.id = 0x28000001;
    picture.name = "logo";
    ConstantRecord hidden = c;
    hidden.name = "hidden";
    hidden.flags = kSetApartFlag;
    ConstantRecord nameless = c;
    nameless.name = "";
    ConstantRecord otherClass = c;
    otherClass.key.id = 0x48000001;
    r.constants = {c, sound, hidden, picture, nameless, otherClass};

    ModuleReference m;
    m.name = "m";
    m.path = "$lib.ec";
    model.moduleReferences = {m};
    model.externalFiles.entries = {"a.txt", ""};

    const ProgramTreeContent content = refreshProgramTree(model);
    const TreeNode& root = content.root;
    ASSERT_EQ(texts(root),
              (std::vector<Text>{"Main", "", "Twin", nodetext::kGlobals, nodetext::kDllCommands,
                                 nodetext::kWindows, nodetext::kConstants, nodetext::kResourceTable,
                                 nodetext::kModules, nodetext::kExternalFiles}));
    EXPECT_EQ(root.children[0].image, kImageAssembly);
    EXPECT_EQ(root.children[0].tag, 0x09000001u);
    EXPECT_EQ(texts(root.children[0]), (std::vector<Text>{"one", "two"}));
    EXPECT_EQ(root.children[0].children[1].image, kImageSub);
    EXPECT_EQ(root.children[1].image, kImageAssemblyWithBase);
    EXPECT_TRUE(root.children[2].children.empty());
    EXPECT_EQ(root.children[3].tag, kGlobalGroupTag);
    EXPECT_EQ(root.children[4].children[0].image, kImageDllCommand);
    EXPECT_EQ(texts(root.children[5]), (std::vector<Text>{""}));
    EXPECT_EQ(texts(root.children[6]), (std::vector<Text>{"PI"}));
    EXPECT_EQ(texts(root.children[7].children[0]), (std::vector<Text>{"beep"}));
    EXPECT_EQ(texts(root.children[7].children[1]), (std::vector<Text>{"logo"}));
    EXPECT_EQ(texts(root.children[8]), (std::vector<Text>{"m - lib.ec"}));
    EXPECT_EQ(texts(root.children[9]), (std::vector<Text>{"a.txt", ""}));
    // Nothing is lost from the model: the hidden constant is set apart, the orphan sub stays.
    EXPECT_EQ(model.resourceSections[1].constants.size(), 1u);
    EXPECT_EQ(model.workingProgram().subs.size(), 3u);

    const ProgramTreeContent again = refreshProgramTree(model);
    EXPECT_EQ(again.root, content.root);
    EXPECT_EQ(again.infoText, content.infoText);
}

TEST(tree_builder_test, info_text_joins_system_and_user_text) {
    ProjectModel model = emptyLoadedModel();
    const ProgramTreeContent content = refreshProgramTree(model);
    EXPECT_EQ(content.infoText, renderSystemInfo(model.systemInfo) + Text(25, '=') + "\r\n" +
                                    renderUserInfo(model.userInfo));
}

}  // namespace
}  // namespace ramulet
