#pragma once

class QAbstractItemView;

// Hovering over an item whose text the view cannot show whole (cut short, or running past the view's edge) shows
// the whole text in a tool tip; an item shown whole shows none. For lists whose width is fixed by their window.
void showCutTextInToolTips(QAbstractItemView* view);
