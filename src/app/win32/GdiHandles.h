#pragma once
// Owners of GDI objects, each freeing its object as the object requires: a font or a bitmap with
// DeleteObject, a memory device context with DeleteDC, the screen's with ReleaseDC.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace app::win32 {

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <typename Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, DeleteGdiObject>;

struct DeleteMemoryDc {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
// A device context of CreateCompatibleDC. Declared after the objects selected into it, so that it
// goes first: an object still selected into a device context must not be deleted.
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DeleteMemoryDc>;

struct ReleaseScreenDc {
    void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
// The screen's device context, of GetDC(nullptr).
using ScreenDc = std::unique_ptr<std::remove_pointer_t<HDC>, ReleaseScreenDc>;

}  // namespace app::win32
