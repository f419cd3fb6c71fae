// mkassets OUTDIR: paints the archive's pictures and writes the six files into OUTDIR.
#include <cstdio>

#include "paint.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkassets OUTDIR\n");
        return 2;
    }
    return mkassets::write_assets(argv[1]);
}
