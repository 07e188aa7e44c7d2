#pragma once

// Runs until WM_QUIT and returns its code. The tool dialog gets its keyboard
// navigation while it is the active window.
int RunMessageLoop();
