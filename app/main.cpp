// Corvelle's entry point.
#include "app/program.h"

int main(int argc, char** argv)
{
    return corvelle::app::runProgram(argc, argv);
}
