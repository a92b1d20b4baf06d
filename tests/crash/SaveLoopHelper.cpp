// Saves the map file, the settings file and an exported log over and over,
// from generation BASE on, until it is killed; writes one byte to standard
// output after each generation is wholly saved.
// Usage: kelvane_save_loop FOLDER BASE
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "crash/SaveLoopContent.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: kelvane_save_loop FOLDER BASE\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    for (long generation = std::atol(argv[2]);; ++generation) {
        if (!kelvane::crash::SaveGeneration(folder, generation)) {
            std::cerr << "a save failed in generation " << generation << "\n";
            return 1;
        }
        if (::write(STDOUT_FILENO, "g", 1) != 1) return 1;
    }
}
