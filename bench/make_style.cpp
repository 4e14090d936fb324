// Writes a generated style folder and its library files, for measurements
// that run the real command line program (peak memory).
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "style_generator.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: tessaro_make_style RULE_LINES FOLDER\n"
                     "writes FOLDER/bench_style (rule files) and FOLDER/res (library files)\n";
        return 2;
    }
    try {
        const std::size_t lines = std::stoul(argv[1]);
        const tessaro::GeneratedStyle g = tessaro::StyleGenerator(1).generate(argv[2], lines);
        std::cout << "style " << g.style_folder << "\nres " << g.res_folder << '\n';
    } catch (const std::exception& e) {
        std::cerr << "tessaro_make_style: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
