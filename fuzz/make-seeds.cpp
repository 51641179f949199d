// Writes the generated seeds of the fuzz corpus, one file per sample. Usage: make-seeds FOLDER

#include <filesystem>
#include <fstream>
#include <iostream>

#include "tests/support/SampleFiles.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make-seeds FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    for (const auto& sample : tracklens::samples::SampleFiles()) {
        const std::filesystem::path path = folder / (sample.name + ".mid");
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(sample.bytes.data()),
                  static_cast<std::streamsize>(sample.bytes.size()));
        if (!out) {
            std::cerr << "make-seeds: cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
