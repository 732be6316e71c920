// find: the Find dialog's search over the rows that list prints with the
// same options; its own criteria are the --find-* options and --text.
#pragma once

#include <cstdio>

#include "app/viewer_state.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/cli_stream.h"
#include "cli/cli_timeline.h"

constexpr int kExitNoMatch = 1;

// Prints the row the search selects, or with --all every matching row in
// list order, as its index, a tab and its list row. When none matches, a line
// says so and the status is kExitNoMatch.
int FindRows(const CliOptions& options, const Timeline& timeline, CliOutput* out, FILE* err);
