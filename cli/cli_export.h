// export: every listed event with all its fields as CSV, JSON or NDJSON, in
// UTF-8, written row by row through the output's blocks.
#pragma once

#include "app/viewer_state.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"

// The listed rows of the chosen order and filter in options.format. Returns
// an exit status.
int ExportEvents(const CliOptions& options, const ViewerState& state, CliOutput* out, FILE* err);
