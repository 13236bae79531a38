// Kiv2200P1: started by the menu program with its three fields on the command line.
#include "window/WindowProgram.h"

int main(int argc, char** argv) {
    return kiv::window::runWindowProgram(argc, argv);
}
