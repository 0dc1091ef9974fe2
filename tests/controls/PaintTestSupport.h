#pragma once
#include "helpers/Canvas.h"
#include "helpers/UiTestSupport.h"
#include "ui/framework/drawing/PaintContext.h"
#include "ui/framework/window/PaintPipeline.h"
#include "ui/framework/window/UiControl.h"

#include <cstdint>
#include <functional>
#include <string>

namespace painttest {

using zmxtest::Canvas;
using zmxtest::Place;

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

// 0x00RRGGBB from components, and the largest per-channel difference of two colours.
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }
int ChannelDistance(uint32_t a, uint32_t b);
std::string Hex(uint32_t rgb);

// The PNG files the test program also embeds as RCDATA 102 and 103, as Wine paths.
std::wstring SourceFilePath(const char* relative);

constexpr uint32_t kWhite = 0xFFFFFF;

} // namespace painttest
