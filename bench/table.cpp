// Prints one table of the rows that several benchmark programs appended to a file.
#include <iostream>

#include "harness.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: bench-table ROWS\n";
        return 2;
    }
    return bench::print_summary_file(argv[1]);
}
