#pragma once

// File > Open: asks for a data file and loads it. The chosen folder becomes
// the current directory.
void ShowOpenDialog();

// File > Save As: asks for a file name and writes the last painted image as
// PNG. The current directory is left as it was.
void ShowSaveDialog();
