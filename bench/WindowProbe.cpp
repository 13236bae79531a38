// Kiv2200P1_probe: the window program with the control map that the window benchmark, the
// end-to-end tests and the screenshots read. They copy it into a package as its Kiv2200P1.
#include "ControlMap.h"
#include "window/WindowProgram.h"

int main(int argc, char** argv) {
    return kiv::window::runWindowProgram(argc, argv, kiv::bench::startControlMap);
}
