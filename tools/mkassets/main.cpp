// mkassets [--examples] OUTDIR: paints the game's archive pictures (or the examples') and writes
// their files into OUTDIR.
#include <cstdio>
#include <string_view>

#include "paint.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--examples")
        return mkassets::write_assets(argv[2], mkassets::make_example_assets());
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkassets [--examples] OUTDIR\n");
        return 2;
    }
    return mkassets::write_assets(argv[1], mkassets::make_assets());
}
