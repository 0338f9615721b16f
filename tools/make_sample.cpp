// Writes the sample project that the demo opens.
#include <cstdio>
#include <filesystem>

#include "container/atomic_file.h"
#include "fixtures/sample_project.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ramulet-make-sample OUT.e\n");
        return 2;
    }
    const ramulet::Bytes bytes = ramulet::makeSampleProject();
    const std::string failure = ramulet::writeFileAtomically(argv[1], bytes);
    if (!failure.empty()) {
        std::fprintf(stderr, "ramulet-make-sample: %s: %s\n", argv[1], failure.c_str());
        return 1;
    }
    std::printf("wrote %s (%zu bytes)\n", argv[1], bytes.size());
    return 0;
}
