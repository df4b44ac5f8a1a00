#pragma once

class QWidget;

// Scales every control of window by factorX horizontally and factorY vertically, fonts by their mean; a
// drop-down combo box keeps its height. With moveWindow the window itself is scaled as well.
void ScaleFormControls(double factorX, double factorY, QWidget* window, bool moveWindow);
