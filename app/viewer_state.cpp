#include "app/viewer_state.h"

#include <cstring>

void InitViewerState(ViewerState* state) {
    memset(state, 0, sizeof *state);
    state->codePage = &SingleByteCodePage();
    state->file.sourceIndex = -1;
    state->conditions = DefaultViewConditions();
    // A file that is not live takes its order and conditions from this copy,
    // so the first such file comes up newest first and unfiltered.
    state->liveHeaderCopy.maxLogSize = 65536;
    state->liveHeaderCopy.conditions = state->conditions;
}

void ReleaseViewerState(ViewerState* state) { ReleaseEventTable(&state->table); }

void TakeRefreshSnapshot(const ViewerState& state, RefreshSnapshot* snap) {
    snap->range = state.range;
    snap->conditions = state.conditions;
    snap->sortOrder = state.sortOrder;
    snap->viewMode = state.viewMode;
    snap->saveSettings = state.saveSettings;
}

void RestoreRefreshSnapshot(ViewerState* state, const RefreshSnapshot& snap) {
    state->range = snap.range;
    state->conditions = snap.conditions;
    state->sortOrder = snap.sortOrder;
    state->viewMode = snap.viewMode;
    state->saveSettings = snap.saveSettings;
}
