#pragma once

#include <optional>

class QListWidget;

// The state picker of the location windows: the 50 states in alphabetical order, each carrying its StateId.
void fillStateList(QListWidget* list);
std::optional<int> selectedStateId(const QListWidget* list);
// Selects the state with stateId; an id outside the list clears the selection.
void selectState(QListWidget* list, int stateId);
