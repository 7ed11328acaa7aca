// Question and reveal pictures: OLE decodes the stored image, GDI scales it for the board.
#include "media/picture_win.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>

#include "media/picture_fit.h"

namespace {

// IPicture hands out 32-bit handles; GDI handles are sign-extended to the pointer size.
HBITMAP bitmapFromOleHandle(OLE_HANDLE handle) {
    return reinterpret_cast<HBITMAP>(static_cast<LONG_PTR>(static_cast<LONG>(handle)));
}

// The picture in `stream` as a private bitmap: the picture object destroys its own bitmap
// when released, so the copy is what outlives it.
HBITMAP copyPictureBitmap(IStream* stream, DWORD length) {
    IPicture* picture = nullptr;
    HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(length), FALSE, IID_IPicture,
                                    reinterpret_cast<void**>(&picture));
    if (FAILED(loaded) || picture == nullptr) {
        return nullptr;
    }
    HBITMAP copy = nullptr;
    SHORT pictureType = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    // Icons and metafiles decode too, but their handles are no bitmaps to copy.
    if (SUCCEEDED(picture->get_Type(&pictureType)) && pictureType == PICTYPE_BITMAP &&
        SUCCEEDED(picture->get_Handle(&handle)) && handle != 0) {
        copy = static_cast<HBITMAP>(CopyImage(bitmapFromOleHandle(handle), IMAGE_BITMAP, 0, 0, 0));
    }
    picture->Release();
    return copy;
}

// The stream of a fresh copy of the bytes; the stream owns (and frees) the memory.
IStream* streamOfBytes(const void* bytes, DWORD length) {
    HGLOBAL memory = GlobalAlloc(GMEM_FIXED, length);
    if (memory == nullptr) {
        return nullptr;
    }
    memcpy(static_cast<void*>(memory), bytes, length); // GMEM_FIXED: the handle is the address
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream)) || stream == nullptr) {
        GlobalFree(memory); // not handed over: still ours to free, exactly once
        return nullptr;
    }
    return stream;
}

} // namespace

HBITMAP loadFittedPicture(HMODULE module, int id, const char* type, int boxWidth, int boxHeight) {
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (resource == nullptr) {
        return nullptr; // a reveal picture never stored is no error
    }
    HGLOBAL loaded = LoadResource(module, resource);
    if (loaded == nullptr) {
        return nullptr;
    }
    DWORD length = SizeofResource(module, resource);
    const void* bytes = LockResource(loaded);
    HBITMAP decoded = bytes != nullptr ? decodePicture(bytes, length) : nullptr;
    FreeResource(loaded);
    if (decoded == nullptr) {
        return nullptr;
    }
    return fitPicture(decoded, boxWidth, boxHeight);
}

HBITMAP decodePicture(const void* bytes, DWORD length) {
    if (bytes == nullptr || length == 0) {
        return nullptr;
    }
    // Nests harmlessly inside the shell's own COM initialisation in video quizzes. A thread
    // already in another apartment mode refuses (and must then not be uninitialised), but
    // the picture loader works there all the same.
    HRESULT initialised = CoInitialize(nullptr);
    HBITMAP copy = nullptr;
    IStream* stream = streamOfBytes(bytes, length);
    if (stream != nullptr) {
        copy = copyPictureBitmap(stream, length);
        stream->Release();
    }
    if (SUCCEEDED(initialised)) {
        CoUninitialize();
    }
    return copy;
}

HBITMAP fitPicture(HBITMAP source, int boxWidth, int boxHeight) {
    BITMAP info = {};
    if (source == nullptr || GetObjectA(source, sizeof info, &info) == 0) {
        if (source != nullptr) {
            DeleteObject(source);
        }
        return nullptr;
    }
    PictureSize fitted = fitPictureSize(info.bmWidth, info.bmHeight, boxWidth, boxHeight);
    if (fitted.width == 0) {
        DeleteObject(source);
        return nullptr;
    }

    HDC screen = GetDC(nullptr);
    HDC sourceDc = CreateCompatibleDC(screen);
    HGDIOBJ sourcePrevious = SelectObject(sourceDc, source);
    HDC fittedDc = CreateCompatibleDC(screen);
    // Compatible with the screen, not with a memory DC, which would give a monochrome bitmap.
    HBITMAP result = CreateCompatibleBitmap(screen, fitted.width, fitted.height);
    if (result != nullptr) {
        HGDIOBJ fittedPrevious = SelectObject(fittedDc, result);
        // HALFTONE averages the pixels a shrink drops: slower than the default, but the
        // photos stay readable at 260 pixels.
        SetStretchBltMode(fittedDc, HALFTONE);
        SetBrushOrgEx(fittedDc, 0, 0, nullptr);
        StretchBlt(fittedDc, 0, 0, fitted.width, fitted.height, sourceDc, 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
        SelectObject(fittedDc, fittedPrevious);
    }
    SelectObject(sourceDc, sourcePrevious);
    DeleteDC(fittedDc);
    DeleteDC(sourceDc);
    ReleaseDC(nullptr, screen);
    DeleteObject(source);
    return result;
}
