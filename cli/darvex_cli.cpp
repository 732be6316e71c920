#include "cli/cli_run.h"

int main(int argc, char** argv) { return RunCli(argc, argv, stdout, stderr); }
