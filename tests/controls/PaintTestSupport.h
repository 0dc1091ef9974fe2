#pragma once
#include "ui/framework/drawing/PaintContext.h"
#include "ui/framework/window/UiControl.h"

#include <cstdint>
#include <functional>
#include <string>

namespace painttest {

// A 32-bit top-down DIB section selected into a memory DC; pixels are read straight
// from its bits as 0x00RRGGBB.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(0xFF, 0xFF, 0xFF));
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc; }
    int Width() const { return width; }
    int Height() const { return height; }
    void Fill(COLORREF colour);
    // 0x00RRGGBB; the unused top byte is masked off.
    uint32_t At(int x, int y) const;
    // Copies (0, 0, width, height) of another DC into this canvas.
    void CopyFrom(HDC source);

private:
    int width;
    int height;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* bits = nullptr;
};

// A paint context drawing into a canvas the way the pipeline starts a paint.
class CanvasContext {
public:
    explicit CanvasContext(Canvas& canvas);
    ~CanvasContext();
    UIE::CUiPaintContext& operator*() { return context; }
    UIE::CUiPaintContext* operator->() { return &context; }

private:
    UIE::CUiPaintContext context;
};

// Sets the process DPI for one test and puts 96 back afterwards.
class DpiScope {
public:
    explicit DpiScope(int dpi);
    ~DpiScope();
    DpiScope(const DpiScope&) = delete;
    DpiScope& operator=(const DpiScope&) = delete;
};

// A control that runs a callback from Paint, for tests that watch the pipeline.
class ProbeControl : public UIE::CUiControl {
public:
    void Paint(UIE::CUiPaintContext& context) override;
    std::function<void(UIE::CUiPaintContext&)> onPaint;
    int paintCount = 0;
};

UIE::CUiControl* Place(UIE::CUiControl* control, int x, int y, int width, int height);

// 0x00RRGGBB from components, and the largest per-channel difference of two colours.
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }
int ChannelDistance(uint32_t a, uint32_t b);
std::string Hex(uint32_t rgb);

// The PNG files the test program also embeds as RCDATA 102 and 103, as Wine paths.
std::wstring SourceFilePath(const char* relative);

constexpr uint32_t kWhite = 0xFFFFFF;

} // namespace painttest
