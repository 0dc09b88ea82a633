// bitmap_resource.h - the bytes of a bitmap resource of this program.
#pragma once

#include <windows.h>

#include "core/image/indexed_image.h"

// The stored bitmap resource with that identifier in the module, or
// {nullptr, 0} when it is missing or cannot be loaded.
PictureBytes LoadBitmapResourceBytes(HINSTANCE module, int resourceId);
