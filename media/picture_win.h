// Pictures from "IMG" resources, decoded by OLE's picture loader (JPEG, BMP, GIF...) and
// fitted into a box with their aspect ratio kept.
#pragma once

#include <windows.h>

// The resource `id` of type `type` in `module`, decoded and fitted into boxWidth x boxHeight
// (see fitPicture). The caller owns the bitmap (a static control showing it keeps it alive).
// Null, silently, when the resource is missing or not a picture OLE can decode.
HBITMAP loadFittedPicture(HMODULE module, int id, const char* type, int boxWidth, int boxHeight);

// An independent bitmap of the picture held in bytes[0 .. length), at its own size. The
// bytes are copied; the caller keeps them. Null when they are not a bitmap picture OLE can
// decode (icons and metafiles included). The caller owns the bitmap.
HBITMAP decodePicture(const void* bytes, DWORD length);

// A new bitmap compatible with the screen, `source` scaled by HALFTONE stretching into the
// box with its aspect ratio kept (fitPictureSize gives the size). Always deletes `source`,
// which is a private copy made by decodePicture. The caller owns the result; null when
// `source` is no bitmap or the new bitmap cannot be made.
HBITMAP fitPicture(HBITMAP source, int boxWidth, int boxHeight);
