// tarnpack: creates, lists, extracts and appends resource archives.
#include "pack.h"

int main(int argc, char** argv) {
    return tarnpack::run(argc, argv);
}
