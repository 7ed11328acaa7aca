// Pictures from "IMG" resources, decoded by OLE and fitted into a box.
#pragma once

#include <windows.h>

// The resource `id` of `type` in `module`, decoded and fitted into boxWidth x boxHeight
// keeping its aspect ratio. The caller owns the bitmap. Null when the resource is missing
// or not a picture OLE can decode.
HBITMAP loadFittedPicture(HMODULE module, int id, const char* type, int boxWidth, int boxHeight);

// An independent bitmap of the picture at its own size, or null.
HBITMAP decodePicture(const void* bytes, DWORD length);

// A new screen-compatible bitmap of `source` scaled into the box (HALFTONE). Deletes
// `source`, which is a private copy made by decodePicture. The caller owns the result.
HBITMAP fitPicture(HBITMAP source, int boxWidth, int boxHeight);
