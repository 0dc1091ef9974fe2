// Painting at DPIs that do not divide evenly: where the progress fill ends, and how a
// label of several words is cut when it does not fit.
#include "controls/PaintTestSupport.h"
#include "helpers/ImportSlot.h"

#include "ui/framework/controls/Label.h"
#include "ui/framework/controls/ProgressBar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace painttest;

namespace {

using DrawTextFunction = int(WINAPI*)(HDC, LPCWSTR, int, LPRECT, UINT);

struct DrawTextCall {
    std::wstring text;
    RECT rect;
    UINT format;
};

std::vector<DrawTextCall> drawTextCalls;
DrawTextFunction realDrawText = nullptr;

int WINAPI RecordingDrawText(HDC dc, LPCWSTR text, int length, LPRECT rect, UINT format)
{
    drawTextCalls.push_back(DrawTextCall{text, *rect, format});
    return realDrawText(dc, text, length, rect, format);
}

} // namespace

// The import slot that every call of DrawTextW in this statically linked program goes through.
extern "C" DrawTextFunction drawTextSlot __asm__(ZMX_IMPORT_SLOT(DrawTextW, 20));

namespace {

void WriteDrawTextSlot(DrawTextFunction function)
{
    DWORD protection = 0;
    VirtualProtect(&drawTextSlot, sizeof(drawTextSlot), PAGE_READWRITE, &protection);
    drawTextSlot = function;
    VirtualProtect(&drawTextSlot, sizeof(drawTextSlot), protection, &protection);
}

// Records the DrawTextW calls made while it lives; they still draw.
class DrawTextRecorder {
public:
    DrawTextRecorder()
    {
        drawTextCalls.clear();
        realDrawText = drawTextSlot;
        WriteDrawTextSlot(RecordingDrawText);
    }
    ~DrawTextRecorder() { WriteDrawTextSlot(realDrawText); }
    DrawTextRecorder(const DrawTextRecorder&) = delete;
    DrawTextRecorder& operator=(const DrawTextRecorder&) = delete;
    const std::vector<DrawTextCall>& Calls() const { return drawTextCalls; }
};

constexpr uint32_t kBar = 0xFF7467;
constexpr uint32_t kTrack = 0xEFEFEF;

struct FillCase {
    int dpi;
    int value;
    int left;  // device left of a bar at logical x 3
    int track; // device width of the 472-pixel track
    int fill;  // device pixels of bar in the middle row: track × value / 100, truncated
};

TEST(OddDpiProgress, FillIsTheTruncatedShareOfTheDeviceTrack)
{
    const FillCase cases[] = {
        {120, 33, 4, 590, 194}, // 194.7; rounding would give 195
        {144, 10, 5, 708, 70},  // 70.8; 47 logical pixels scaled would give 71
        {144, 67, 5, 708, 474}, // 474.36
        {168, 10, 5, 826, 82},  // 82.6
        {168, 15, 5, 826, 123}, // 123.9
    };
    for (const FillCase& c : cases) {
        DpiScope dpi(c.dpi);
        UIE::CUiProgressBar bar;
        Place(&bar, 3, 3, 472, 8);
        bar.value = c.value;
        const UIE::UiRect device = bar.GetDeviceRect();
        Canvas canvas(device.x + device.width + 10, device.y + device.height + 10);
        {
            CanvasContext context(canvas);
            UIE::PaintControlTree(&bar, *context);
        }
        SCOPED_TRACE(testing::Message() << c.dpi << " DPI, value " << c.value);
        const int row = device.y + device.height / 2;
        int barPixels = 0;
        for (int x = 0; x < canvas.Width(); ++x)
            barPixels += ChannelDistance(canvas.At(x, row), kBar) < ChannelDistance(canvas.At(x, row), kTrack) ? 1 : 0;
        EXPECT_EQ(barPixels, c.fill);
        EXPECT_EQ(Hex(canvas.At(c.left + c.fill - 2, row)), Hex(kBar));
        EXPECT_EQ(Hex(canvas.At(c.left + c.fill + 1, row)), Hex(kTrack));
        EXPECT_EQ(Hex(canvas.At(c.left + c.track - 2, row)), Hex(kTrack));
        EXPECT_EQ(Hex(canvas.At(c.left + c.track, row)), Hex(kWhite));
        EXPECT_EQ(Hex(canvas.At(c.left - 1, row)), Hex(kWhite));
    }
}

// Several words that do not fit in 150 logical pixels.
const wchar_t kWords[] = L"Close the main program before you uninstall it";

// Draws kWords the way a left-aligned 12-pixel label must: one vertically centred line
// cut at its end with an ellipsis, in the bench's UI face.
void DrawReference(Canvas& canvas, const RECT& area, int fontHeight, UINT ellipsis)
{
    HFONT font = CreateFontW(-fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, 0, L"宋体");
    HGDIOBJ previous = SelectObject(canvas.Dc(), font);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    SetTextColor(canvas.Dc(), RGB(0x33, 0x33, 0x33));
    RECT rect = area;
    DrawTextW(canvas.Dc(), kWords, -1, &rect, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | ellipsis);
    SelectObject(canvas.Dc(), previous);
    DeleteObject(font);
}

int DifferentPixels(const Canvas& a, const Canvas& b)
{
    int count = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            count += a.At(x, y) != b.At(x, y) ? 1 : 0;
    return count;
}

struct EllipsisCase {
    int dpi;
    int fontHeight; // 12 logical pixels
    RECT area;      // a label at (5, 3, 150, 22): its scaled origin, then its scaled size
};

TEST(OddDpiLabel, SeveralWordsAreCutAtTheEndWithAnEllipsis)
{
    const EllipsisCase cases[] = {
        {120, 15, {6, 4, 194, 32}},
        {144, 18, {8, 5, 233, 38}},
        {168, 21, {9, 5, 272, 44}},
    };
    for (const EllipsisCase& c : cases) {
        DpiScope dpi(c.dpi);
        SCOPED_TRACE(testing::Message() << c.dpi << " DPI");
        UIE::CUiLabel label;
        label.text = kWords;
        label.fontSize = 12;
        label.textColor = RGB(0x33, 0x33, 0x33);
        Place(&label, 5, 3, 150, 22);
        Canvas painted(c.area.right + 10, c.area.bottom + 10);
        {
            CanvasContext context(painted);
            UIE::PaintControlTree(&label, *context);
        }
        Canvas endCut(painted.Width(), painted.Height());
        DrawReference(endCut, c.area, c.fontHeight, DT_END_ELLIPSIS);
        // The text must tell the cuts apart here, or the comparison proves nothing. (Wine
        // draws a single line with DT_WORD_ELLIPSIS exactly as with DT_END_ELLIPSIS.)
        Canvas pathCut(painted.Width(), painted.Height());
        DrawReference(pathCut, c.area, c.fontHeight, DT_PATH_ELLIPSIS);
        Canvas clipped(painted.Width(), painted.Height());
        DrawReference(clipped, c.area, c.fontHeight, 0);
        ASSERT_GT(DifferentPixels(endCut, pathCut), 0);
        ASSERT_GT(DifferentPixels(endCut, clipped), 0);

        EXPECT_EQ(DifferentPixels(painted, endCut), 0);
    }
}

struct FormatCase {
    int dpi;
    int alignment;
    RECT rect; // a label at (5, 3, 150, 22): its scaled origin, then its scaled size
    UINT format;
};

TEST(OddDpiLabel, TextIsOneCentredLineCutAtItsEndWithoutPrefixes)
{
    // DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS is 0x8824; Wine draws
    // DT_WORD_ELLIPSIS like DT_END_ELLIPSIS, so only the call itself tells them apart.
    const FormatCase cases[] = {
        {120, 0, {6, 4, 194, 32}, 0x8824},
        {144, 1, {8, 5, 233, 38}, 0x8825},
        {168, 2, {9, 5, 272, 44}, 0x8826},
    };
    for (const FormatCase& c : cases) {
        DpiScope dpi(c.dpi);
        SCOPED_TRACE(testing::Message() << c.dpi << " DPI, alignment " << c.alignment);
        UIE::CUiLabel label;
        label.text = kWords;
        label.fontSize = 12;
        label.alignment = static_cast<UIE::TextAlignment>(c.alignment);
        Place(&label, 5, 3, 150, 22);
        Canvas canvas(c.rect.right + 10, c.rect.bottom + 10);
        DrawTextRecorder recorder;
        {
            CanvasContext context(canvas);
            UIE::PaintControlTree(&label, *context);
        }
        ASSERT_EQ(recorder.Calls().size(), 1u);
        const DrawTextCall& call = recorder.Calls()[0];
        EXPECT_EQ(call.text, kWords);
        EXPECT_EQ(call.format, c.format) << std::hex << call.format;
        EXPECT_EQ(call.rect.left, c.rect.left);
        EXPECT_EQ(call.rect.top, c.rect.top);
        EXPECT_EQ(call.rect.right, c.rect.right);
        EXPECT_EQ(call.rect.bottom, c.rect.bottom);
    }
}

} // namespace
