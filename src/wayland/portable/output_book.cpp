// output_book.cpp - the outputs' facts and the decisions made from them.
#include "wayland/portable/output_book.h"

#include <algorithm>

SurfacePlan PlanSurface(int32_t width, int32_t height, int32_t modeWidth, int32_t modeHeight, int32_t scale,
                        bool haveViewporter) {
  SurfacePlan plan;
  scale = std::max(scale, 1);
  if (width <= 0 || height <= 0) {  // the client chooses: the whole output
    plan.bufferWidth = modeWidth, plan.bufferHeight = modeHeight, plan.bufferScale = 1;
    // The output's pixels shown at its scale, where they divide by it.
    if (scale > 1 && modeWidth % scale == 0 && modeHeight % scale == 0) plan.bufferScale = scale;
    else if (scale > 1 && haveViewporter) plan.viewport = true;
    return plan;
  }
  // int64: a configure of 2^31 - 1 units at scale 2 is no int32_t.
  const int64_t scaledWidth = int64_t{width} * scale, scaledHeight = int64_t{height} * scale;
  const bool exact = scaledWidth == modeWidth && scaledHeight == modeHeight;
  if (!exact && haveViewporter && modeWidth > 0 && modeHeight > 0 && scale > 1) {
    plan.bufferWidth = modeWidth, plan.bufferHeight = modeHeight, plan.viewport = true;
    return plan;
  }
  if (scaledWidth > INT32_MAX || scaledHeight > INT32_MAX) scale = 1;
  plan.bufferWidth = static_cast<int32_t>(int64_t{width} * scale);
  plan.bufferHeight = static_cast<int32_t>(int64_t{height} * scale);
  plan.bufferScale = scale;
  return plan;
}

OutputRecord* OutputBook::Find(uint32_t name) {
  for (OutputRecord& record : records_)
    if (record.name == name) return &record;
  return nullptr;
}

const OutputRecord* OutputBook::Find(uint32_t name) const {
  for (const OutputRecord& record : records_)
    if (record.name == name) return &record;
  return nullptr;
}

void OutputBook::Add(uint32_t name) {
  if (Find(name) == nullptr) records_.push_back(OutputRecord{name});
}

void OutputBook::SetMode(uint32_t name, int32_t width, int32_t height) {
  if (OutputRecord* record = Find(name)) record->modeWidth = width, record->modeHeight = height;
}

void OutputBook::SetScale(uint32_t name, int32_t scale) {
  if (OutputRecord* record = Find(name)) record->scale = std::max(scale, 1);
}

bool OutputBook::Done(uint32_t name) {
  OutputRecord* record = Find(name);
  if (record == nullptr) return false;
  record->described = true;
  if (record->hasSurface || record->closed) return false;
  record->hasSurface = true;
  return true;
}

bool OutputBook::Remove(uint32_t name) {
  const auto at = std::find_if(records_.begin(), records_.end(), [&](const OutputRecord& r) { return r.name == name; });
  if (at == records_.end()) return false;
  const bool hadSurface = at->hasSurface;
  records_.erase(at);
  return hadSurface;
}

void OutputBook::Forget(OutputRecord& record, bool closed) {
  record =
      OutputRecord{record.name, record.modeWidth, record.modeHeight, record.scale, record.described, false, closed};
}

void OutputBook::Close(uint32_t name) {
  if (OutputRecord* record = Find(name)) Forget(*record, true);
}

void OutputBook::Hide(uint32_t name) {
  if (OutputRecord* record = Find(name)) Forget(*record, false);
}

bool OutputBook::Reshow(uint32_t name) {
  OutputRecord* record = Find(name);
  if (record == nullptr || !record->described || record->closed) return false;
  record->hasSurface = false;
  return true;
}

void OutputBook::Laid(uint32_t name) {
  if (OutputRecord* record = Find(name))
    record->bufferBusy[0] = record->bufferBusy[1] = false, record->frameWanted = true;
}

void OutputBook::SurfaceSize(uint32_t name, int32_t& width, int32_t& height) const {
  const OutputRecord* record = Find(name);
  width = height = 0;
  if (record == nullptr) return;
  width = record->width, height = record->height;
  if (width <= 0 || height <= 0) width = record->modeWidth / record->scale, height = record->modeHeight / record->scale;
}

SurfacePlan OutputBook::Plan(uint32_t name, bool haveViewporter) const {
  const OutputRecord* record = Find(name);
  if (record == nullptr || !record->hasSurface || !record->configured) return {};
  return PlanSurface(record->width, record->height, record->modeWidth, record->modeHeight, record->scale,
                     haveViewporter);
}

SurfacePlan OutputBook::Configure(uint32_t name, int32_t width, int32_t height, bool haveViewporter) {
  OutputRecord* record = Find(name);
  if (record == nullptr || !record->hasSurface) return {};
  record->configured = true, record->width = width, record->height = height;
  return Plan(name, haveViewporter);
}

int OutputBook::FreeBuffer(uint32_t name) const {
  const OutputRecord* record = Find(name);
  return record == nullptr ? -1 : FreeBufferOf(*record);
}

int OutputBook::FreeBufferOf(const OutputRecord& record) {
  if (!record.hasSurface || !record.configured || !record.frameWanted) return -1;
  return !record.bufferBusy[0] ? 0 : !record.bufferBusy[1] ? 1 : -1;
}

void OutputBook::Committed(uint32_t name, int which) {
  OutputRecord* record = Find(name);
  record->bufferBusy[which] = true;
  record->frameWanted = false;
}

bool OutputBook::AnyDue() const {
  for (const OutputRecord& record : records_)
    if (FreeBufferOf(record) >= 0) return true;
  return false;
}

std::vector<uint32_t> OutputBook::Due() const {
  std::vector<uint32_t> due;
  for (const OutputRecord& record : records_)
    if (FreeBufferOf(record) >= 0) due.push_back(record.name);
  return due;
}
