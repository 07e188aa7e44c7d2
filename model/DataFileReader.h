#pragma once
#include <cstddef>
#include <cstdio>

#include "model/GraphModel.h"
#include "model/VerticalScale.h"

// Reads a file of one number per line into graphData, sizes the image to the
// data and brings the tool dialog up to date. True when the file was opened
// and closed without error.
bool LoadDataFile(const char* path);

// The same from a stream that is already open (standard input), which stays
// open. It must be in binary mode: the reader does the text mode's work.
bool LoadDataStream(FILE* file);

// The same reader for a file that arrives in slices (a browser reads a huge
// one piece by piece): the bytes go in in file order, and FeedData is false
// once the reader has all it reads (512 values, or a Ctrl-Z), so the rest
// need not be read at all. EndDataFeed loads what was read, as
// LoadDataStream does; a feed that is never ended changes nothing.
void BeginDataFeed();
bool FeedData(const char* bytes, size_t size);
void EndDataFeed();

// The values alone, into `data`: no settings, no dialog. False as for
// LoadDataFile; a file that closed with an error has still been read.
bool ReadDataFile(const char* path, GraphData& data);
bool ReadDataStream(FILE* file, GraphData& data);

// What a load does to the settings: the image as wide as the values need at
// the point interval, and the scale fitted (ScaleToData).
void FitToLoad(GraphSettings& s, const GraphData& d, char (&ratioText)[kRatioTextSize]);
