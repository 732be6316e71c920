// Showing the viewer's visible rows in the event list box.
#pragma once

// Gives the list the count of visible rows and selects the first one. The
// core has already rebuilt the visible-rows array the rows are drawn from.
void FillEventList();

// Empties the list.
void ResetEventList();

// The entry shown in the selected row, or null when no row is selected.
struct EventEntry;
EventEntry* SelectedEntry();
