// The program's entry point.
#include "browser/startup.h"

int main(int argc, char** argv) { return run_program(argc, argv); }
