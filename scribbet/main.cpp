#include "ScribbetApp.h"

int main(int argc, char *argv[])
{
    return platform::runApplication<scribbet::ScribbetApp>(argc, argv);
}
