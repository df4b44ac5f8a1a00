#pragma once

class QPushButton;
class QWidget;

// The keys every window answers alike. Esc presses the window's Cancel or Close button, so Esc asks whatever that
// button asks; a window without one is left alone unless it closes on Esc all the same (closesOnEscape). Enter or
// Return on a focused button presses it, as Space does. Keys an open list of a box or an in-place editor takes for
// itself never reach the window.
void answerWindowKeys(QWidget* window);

// Marks a window without a Cancel or Close button that Esc closes as its close box does.
void closesOnEscape(QWidget* window);

// The window's Cancel or Close button, preferring one the user can see; nullptr when it has none enabled.
QPushButton* cancelButtonOf(QWidget* window);
