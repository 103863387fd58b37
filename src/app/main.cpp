#include "tresapp.h"

int main(int argc, char** argv)
{
    CTresApp app(argc, argv);
    if (!app.InitInstance()) return 1;
    return app.exec();
}
