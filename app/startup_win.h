// The steps of start-up that main_win.cpp strings together, apart so that
// tests reach them: the program's folder as current directory, and the main
// message loop.
// Implementation here must contain only Win32 specific code.
#pragma once

#include "app/main_window_win.h"

// Makes the folder of the executable the current directory, so programs
// started later (the console commands) find what lies beside the program
// first. Nothing happens when the path cannot be had.
void EnterProgramFolder();

// Takes the messages of the GUI thread one after the other and dispatches
// them until the quit request. IsDialogMessage gives Tab and Shift+Tab their
// move among the enabled buttons of the window.
void RunMessageLoop(const MainWindow& window);
