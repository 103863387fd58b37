// Runs the render command as its own process, the way tresmon-tool does:
// without an application object, so the command has to make its own.
#include "render.h"

int main(int argc, char** argv) { return RunRenderCommand(argc - 1, argv + 1); }
