#include "app/cli/cliapplication.h"

int main(int argc, char** argv)
{
    return CliApplication::exec(argc, argv);
}
