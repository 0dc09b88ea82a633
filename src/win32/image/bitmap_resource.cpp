// bitmap_resource.cpp - a bitmap resource's bytes, found, loaded and locked.
#include "win32/image/bitmap_resource.h"

PictureBytes LoadBitmapResourceBytes(HINSTANCE module, int resourceId) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  if (found == nullptr) return {nullptr, 0};
  HGLOBAL loaded = LoadResource(module, found);
  if (loaded == nullptr) return {nullptr, 0};
  const void* bytes = LockResource(loaded);
  if (bytes == nullptr) return {nullptr, 0};
  return {static_cast<const uint8_t*>(bytes), SizeofResource(module, found)};
}
