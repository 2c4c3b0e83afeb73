// The owners of the window's GDI objects free them when they go, also when the window that uses
// them could not be built.

#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

#include "app/win32/GdiHandles.h"

namespace {

using namespace app::win32;

HFONT anyFont() {
    LOGFONTW font{};
    font.lfHeight = -11;
    lstrcpynW(font.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

TEST(GdiHandles, AFontAndABitmapAreDeletedWhenTheirOwnerGoes) {
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr;
    {
        const GdiObject<HFONT> ownedFont(anyFont());
        const GdiObject<HBITMAP> ownedBitmap(CreateBitmap(16, 15, 1, 32, nullptr));
        font = ownedFont.get();
        bitmap = ownedBitmap.get();
        ASSERT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
        ASSERT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    }
    EXPECT_EQ(GetObjectType(font), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
}

TEST(GdiHandles, AMemoryDeviceContextIsDeletedAndAMovedOwnerFreesNothing) {
    HDC dc = nullptr;
    {
        MemoryDc first(CreateCompatibleDC(nullptr));
        dc = first.get();
        ASSERT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
        const MemoryDc second = std::move(first);
        EXPECT_EQ(first.get(), nullptr);
    }
    EXPECT_EQ(GetObjectType(dc), 0u);
}

TEST(GdiHandles, AFontSelectedIntoAMemoryDeviceContextGoesAfterIt) {
    HFONT font = nullptr;
    HDC dc = nullptr;
    {
        const GdiObject<HFONT> ownedFont(anyFont());
        const MemoryDc ownedDc(CreateCompatibleDC(nullptr));
        font = ownedFont.get();
        dc = ownedDc.get();
        SelectObject(dc, font);
    }
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_EQ(GetObjectType(font), 0u);
}

}  // namespace
