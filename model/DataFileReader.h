#pragma once
#include <cstdio>

// Reads a file of one number per line into graphData, sizes the image to the
// data and brings the tool dialog up to date. True when the file was opened
// and closed without error.
bool LoadDataFile(const char* path);

// The same from a stream that is already open (standard input), which stays
// open. It must be in binary mode: the reader does the text mode's work.
bool LoadDataStream(FILE* file);
