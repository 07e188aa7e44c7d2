#pragma once
#include <windows.h>

#include <memory>

// The window's doorway to GDI+: the offscreen image, its paint and its PNG.

class OffscreenImage;
extern std::unique_ptr<OffscreenImage> offscreenImage;  // the image of the last paint

void StartGdiplus();
void ShutdownGdiplus();

// One paint: replaces offscreenImage with a new image of imageWidth x
// imageHeight, renders the graph into it and blends it onto the window's paint
// device context at (0, 0). Called between BeginPaint and EndPaint. With no
// device context the image is rendered all the same and nothing is blended.
void PaintOffscreenImage(HDC windowDc);

void DeleteOffscreenImage();

// Writes offscreenImage as a 32-bit PNG; with no image or no PNG encoder
// nothing is written.
void SavePng(const char* path);

// Index of the encoder with exactly this MIME type, its class id in *clsid; or -1.
int FindEncoderClsid(const wchar_t* mimeType, CLSID* clsid);
