// The program main routine for test binaries: runs whatever the test installed, if anything.
#include "test_tarnmain.h"

std::function<int()> test_tarnmain_body;

int tarnmain() {
    return test_tarnmain_body ? test_tarnmain_body() : 0;
}
