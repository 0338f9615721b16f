#include "cli/tree_printer.h"

#include <cstdio>

#include "cli/text_conversion.h"

namespace ramulet {

namespace {

void describeNode(const TreeNode& node, int depth, std::string& out) {
    out.append(static_cast<size_t>(depth) * 2, ' ');
    char head[32];
    std::snprintf(head, sizeof head, "%d\t0x%08x\t", node.image, static_cast<unsigned>(node.tag));
    out += head;
    out += printableNodeText(node.text);
    out += '\n';
    for (const TreeNode& child : node.children)
        describeNode(child, depth + 1, out);
}

std::string withUnixLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out.push_back(text[i]);
    }
    return out;
}

}  // namespace

std::string printableNodeText(const Text& text) {
    // Escaping works on the GBK bytes: no byte below 0x40 is ever part of a double-byte
    // character, so control bytes are always characters of their own.
    Text escaped;
    for (const char c : text) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte == '\r') {
            escaped += "\\r";
        } else if (byte == '\n') {
            escaped += "\\n";
        } else if (byte == '\t') {
            escaped += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            escaped += hex;
        } else {
            escaped.push_back(c);
        }
    }
    return gbkToUtf8(escaped);
}

std::string describeTree(const ProgramTreeContent& content) {
    std::string out = withUnixLineEnds(gbkToUtf8(content.infoText));
    out += "----\n";
    describeNode(content.root, 0, out);
    return out;
}

}  // namespace ramulet
