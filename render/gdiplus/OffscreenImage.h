#pragma once
#include <windows.h>

// The shell's only doorway to GDI+ (implemented in GdiplusSurface.cpp, the one
// file that includes GDI+).

void StartGdiplus();
void ShutdownGdiplus();

// One paint: replaces offscreenImage with a new image of imageWidth x
// imageHeight, renders the graph into it and blends it onto the window's paint
// device context at (0, 0). Called between BeginPaint and EndPaint.
void PaintOffscreenImage(HDC windowDc);

void DeleteOffscreenImage();

// Writes offscreenImage as a 32-bit PNG; with no image or no PNG encoder
// nothing is written.
void SavePng(const char* path);

// Index of the encoder with exactly this MIME type, its class id in *clsid; or -1.
int FindEncoderClsid(const wchar_t* mimeType, CLSID* clsid);
