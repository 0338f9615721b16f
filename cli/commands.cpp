#include "cli/commands.h"

#include <charconv>
#include <filesystem>
#include <optional>
#include <ostream>

#include "cli/text_conversion.h"
#include "cli/tree_printer.h"
#include "container/atomic_file.h"
#include "model/project_file.h"
#include "tree/program_items.h"
#include "tree/top_level_drop.h"
#include "tree/tree_builder.h"

namespace ramulet {

namespace {

constexpr const char* kUsage = R"(usage: ramulet-cli COMMAND FILE [options]

Reads an Easy Language source file (.e) and works on the order of its top-level program items
(assemblies, window assemblies and classes). Everything else in the file is kept as it is.

commands:
  show FILE                         print the project information, a line "----", then the
                                    program tree: one node per line, indented two spaces per
                                    level, with image index, tag and text
  save FILE -o OUT                  load and save without change (what closing the window and
                                    saving does)
  sort FILE -o OUT                  sort the top-level items by the byte length of their names
                                    and save
  move FILE FROM TO [--after] -o OUT
                                    drop top-level node FROM before node TO (after it with
                                    --after), positions counted from 1 as the tree shows them,
                                    and save
  check FILE                        save in memory and compare with the file, section by
                                    section; exit status 0 only when byte-identical

options:
  --password TEXT                   password of a protected file; without it the password is
                                    asked for on the terminal
  -o OUT                            the file to write; replaced only once complete
  -h, --help                        show this text
)";

struct Options {
    std::string command;
    std::vector<std::string> positional;
    std::optional<std::string> output;
    std::optional<std::string> password;
    bool after = false;
    bool help = false;
};

std::optional<Options> parse(const std::vector<std::string>& args, std::ostream& err) {
    Options o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (a == "--after") {
            o.after = true;
        } else if (a == "-o" || a == "--password") {
            if (i + 1 >= args.size()) {
                err << "ramulet-cli: " << a << " needs a value\n";
                return std::nullopt;
            }
            (a == "-o" ? o.output : o.password) = args[++i];
        } else if (o.command.empty()) {
            o.command = a;
        } else {
            o.positional.push_back(a);
        }
    }
    return o;
}

std::filesystem::path pathFromUtf8(const std::string& s) {
    return std::filesystem::path(std::u8string(s.begin(), s.end()));
}

std::optional<int> position(const std::string& s) {
    int value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || value < 1)
        return std::nullopt;
    return value;
}

struct Session {
    SectionContainer container;
    ProjectModel model = ProjectModel::initial();
    ProgramTreeContent tree;
    Bytes input;  // the plain file as read, for check
};

// Loads as a dropped file is loaded: read, split, load, and the refresh that ends a load.
std::optional<Session> open(const Options& o, std::ostream& err,
                            const PasswordPrompt& terminalPrompt) {
    PasswordPrompt prompt = terminalPrompt;
    if (o.password) {
        const std::string typed = *o.password;
        prompt = [typed]() { return utf8ToGbk(typed); };
    }
    Session s;
    ReadResult read = readSourceFile(pathFromUtf8(o.positional[0]), prompt);
    if (!read.error.empty()) {
        err << gbkToUtf8(read.error) << '\n';
        return std::nullopt;
    }
    SplitResult split = splitSections(read.bytes);
    if (!split.error.empty()) {
        err << gbkToUtf8(split.error) << '\n';
        return std::nullopt;
    }
    s.container = std::move(split.container);
    s.input = std::move(read.bytes);
    loadProject(s.model, s.container);
    s.tree = refreshProgramTree(s.model);
    return s;
}

int save(Session& s, const Options& o, std::ostream& out, std::ostream& err) {
    const Bytes bytes = buildSavedFile(s.container, s.model);
    const std::string failure = writeFileAtomically(pathFromUtf8(*o.output), bytes);
    if (!failure.empty()) {
        err << "ramulet-cli: cannot write " << *o.output << ": " << failure << '\n';
        return 1;
    }
    out << "saved " << *o.output << " (" << bytes.size() << " bytes)\n";
    return 0;
}

std::string keyText(const SectionHead& head) {
    std::string s;
    char hex[4];
    for (const uint8_t b : head.key) {
        std::snprintf(hex, sizeof hex, "%02x", b);
        s += (s.empty() ? "" : " ") + std::string(hex);
    }
    return s;
}

std::string setApartSummary(const ProgramSection& p) {
    std::string s;
    const auto add = [&](size_t n, const char* what) {
        if (n != 0)
            s += (s.empty() ? "" : ", ") + std::to_string(n) + " " + what;
    };
    add(p.assemblies.size(), "program items");
    add(p.subs.size(), "subs");
    add(p.globals.size(), "global variables");
    add(p.dataTypes.size(), "data types");
    add(p.dllCommands.size(), "DLL commands");
    return s;
}

// The head fields that came out different, by name.
std::string headDifferences(const SectionRecord& in, const SectionRecord& saved) {
    std::string s;
    const auto add = [&](bool differs, const char* what) {
        if (differs)
            s += (s.empty() ? "" : ", ") + std::string(what);
    };
    add(in.head.index != saved.head.index, "index");
    add(in.head.flag != saved.head.flag || in.head.dataLength != saved.head.dataLength,
        "flag or length");
    add(in.head.dataChecksum != saved.head.dataChecksum, "data checksum");
    add(in.headChecksum != saved.headChecksum, "head checksum");
    return s;
}

int check(Session& s, std::ostream& out) {
    SectionContainer original = splitSections(s.input).container;
    const Bytes saved = buildSavedFile(s.container, s.model);
    const SectionContainer rebuilt = splitSections(saved).container;
    const std::string summary = setApartSummary(s.model.setApartProgram());
    bool identical = saved == s.input;
    for (size_t i = 0; i < original.sections.size() && i < rebuilt.sections.size(); ++i) {
        const SectionRecord& a = original.sections[i];
        const SectionRecord& b = rebuilt.sections[i];
        out << "section " << i + 1 << " (key " << keyText(a.head) << "): ";
        const bool samePayload = a.payload == b.payload;
        const std::string head = headDifferences(a, b);
        if (samePayload && head.empty() && a.head == b.head) {
            out << "byte-identical\n";
            continue;
        }
        out << "differs:";
        if (!samePayload) {
            out << " payload written anew";
            if (a.head.hasKey(kProgramSectionKey) && !summary.empty()) {
                out << " (items set apart moved to the end of their tables: " << summary << ")";
            } else if (a.head.hasKey(kProgramSectionKey)) {
                out << " (lengths, counts and offsets recomputed)";
            }
            out << ';';
        }
        if (!head.empty())
            out << " head fields recomputed: " << head << ';';
        out << '\n';
    }
    out << (identical ? "byte-identical\n" : "not byte-identical\n");
    return identical ? 0 : 1;
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const PasswordPrompt& terminalPrompt) {
    const std::optional<Options> parsed = parse(args, err);
    if (!parsed)
        return 2;
    const Options& o = *parsed;
    if (o.help) {
        out << kUsage;
        return 0;
    }
    const bool writes = o.command == "save" || o.command == "sort" || o.command == "move";
    const size_t wanted = o.command == "move" ? 3 : 1;
    const bool known = writes || o.command == "show" || o.command == "check";
    if (!known || o.positional.size() != wanted || (writes && !o.output) || (!writes && o.output) ||
        (o.after && o.command != "move")) {
        err << (known ? "ramulet-cli: wrong arguments for " + o.command + "\n"
                      : "ramulet-cli: unknown command\n")
            << kUsage;
        return 2;
    }
    std::optional<int> from, to;
    if (o.command == "move") {
        from = position(o.positional[1]);
        to = position(o.positional[2]);
        if (!from || !to) {
            err << "ramulet-cli: FROM and TO are positions counted from 1\n";
            return 2;
        }
    }
    std::optional<Session> s = open(o, err, terminalPrompt);
    if (!s)
        return 1;

    if (o.command == "show") {
        out << describeTree(s->tree);
        return 0;
    }
    if (o.command == "check")
        return check(*s, out);
    if (o.command == "sort") {
        sortAssembliesByNameLength(s->model.workingProgram().assemblies);
        s->tree = refreshProgramTree(s->model);
    }
    if (o.command == "move") {
        const DropOutcome outcome = dropTopLevelItem(s->model, s->tree.root, *from, *to, o.after);
        // Tip：
        const std::string tip = "Tip\xef\xbc\x9a";
        switch (outcome.result) {
            case DropOutcome::Result::Refused:
                err << tip << gbkToUtf8(outcome.statusText) << '\n';
                return 1;
            case DropOutcome::Result::NoMove:
                out << "no move: the item already stands there\n";
                break;
            case DropOutcome::Result::Moved:
                out << tip << gbkToUtf8(outcome.statusText) << '\n';
                break;
        }
    }
    return save(*s, o, out, err);
}

}  // namespace ramulet
