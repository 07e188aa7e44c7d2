#include "serve/Picture.h"

#include <memory>

#include "render/PngRenderer.h"
#include "render/SvgSurface.h"

bool DrawPicture(const PictureJob& job, std::string& bytes, std::string& reason) {
  if (job.kind == PictureKind::Svg) {
    bytes = SvgPicture(job.settings, *job.data);
    return true;
  }
  // One drawing thread encodes all the bands: the server's parallelism is
  // one picture a thread, and the bands' bytes never depend on who made them.
  std::unique_ptr<PngDraft> draft = DrawPng(job.settings, *job.data, job.look, reason);
  if (!draft) {
    if (reason.empty()) reason = "cannot make an image of this size";
    return false;
  }
  for (int part = 0; part < draft->Parts(); ++part) draft->EncodePart(part);
  return draft->Finish(bytes, reason);
}
