#pragma once
#include "ui/framework/base/Gdiplus.h"

namespace UIE {

// GDI+ started for the object's lifetime; every GDI+ object must be gone before it ends.
class CGdiplusSession {
public:
    CGdiplusSession();
    ~CGdiplusSession();
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;

    // False when GdiplusStartup failed; drawing then fails quietly.
    bool Started() const { return token != 0; }

private:
    ULONG_PTR token = 0;
};

} // namespace UIE
