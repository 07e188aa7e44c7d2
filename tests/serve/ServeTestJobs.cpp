#include "tests/serve/ServeTestJobs.h"

#include "model/GraphModel.h"

PictureJob TestJob(const std::string& key, int values, int width, PictureKind kind) {
  PictureJob job;
  job.kind = kind;
  job.key = key;
  job.settings = StartSettings();
  job.settings.imageWidth = width;
  job.data.count = values;
  for (int i = 0; i < values; ++i) job.data.values[i] = i % 7;
  job.data.maxValue = 6;
  job.pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(job.settings.imageHeight);
  return job;
}
