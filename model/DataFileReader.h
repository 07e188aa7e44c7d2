#pragma once

// Reads a file of one number per line into graphData, sizes the image to the
// data and brings the tool dialog up to date. True when the file was opened
// and closed without error.
bool LoadDataFile(const char* path);
