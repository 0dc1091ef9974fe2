#include "ui/framework/base/GdiplusSession.h"

namespace UIE {

CGdiplusSession::CGdiplusSession()
{
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        token = 0;
}

CGdiplusSession::~CGdiplusSession()
{
    if (token)
        Gdiplus::GdiplusShutdown(token);
}

} // namespace UIE
