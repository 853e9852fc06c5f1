#include "CorvaneApp.h"

int main(int argc, char* argv[])
{
    return CorvaneApp::run(argc, argv);
}
