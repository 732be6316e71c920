#include "cli/cli_run.h"

int main(int argc, char** argv) {
    char** args = CommandLineArguments(&argc, argv);
    return RunCli(argc, args, stdout, stderr);
}
