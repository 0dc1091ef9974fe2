#pragma once
#include <windows.h>

namespace UIE {

// The process-wide display DPI; sizes everywhere are logical pixels at 96 DPI.
struct DpiInfo {
    int dpi = 96; // vertical logical DPI, always at least 1
};

// Created with 96 on first use.
DpiInfo& GetDpiInfo();
// Asks the system for the display's own DPI instead of a scaled 96 (SetProcessDPIAware,
// looked up at run time); does nothing where the call does not exist.
void MakeProcessDpiAware();
// LOGPIXELSY of the window's DC (the screen's when null), normalised; 0 without a DC.
// Writes nothing, so any thread may ask.
int ReadDpi(HWND window);
// Keeps ReadDpi's answer as the process-wide DPI; keeps the old value without a DC.
void RefreshDpi(HWND window);
// LOGPIXELSY as the program uses it: 0 or less means 96.
int NormalizeDpi(int logPixels);

// Logical to device pixels at the current DPI, rounding halves away from zero.
int DpiScale(int value);
// Device to logical pixels at the current DPI.
int DpiUnscale(int value);
// The same conversions at a given DPI, for callers that must not read the global.
int DpiScaleAt(int value, int dpi);
int DpiUnscaleAt(int value, int dpi);

} // namespace UIE
