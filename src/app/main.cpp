#include "startoptions.h"
#include "tresapp.h"

int main(int argc, char** argv)
{
    // Read before the application exists: --help and --version need no
    // display, and a wrong option is told before a window opens.
    CStartOptions options;
    if (const auto exit = ReadStartOptions(StartWords(argc, argv), options)) return *exit;
    CTresApp app(argc, argv);
    if (!app.InitInstance(options)) return 1;
    return app.exec();
}
