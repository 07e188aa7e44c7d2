#include "tests/serve/ServeTestJobs.h"

#include <memory>

#include "model/GraphModel.h"

PictureJob TestJob(const std::string& key, int values, int width, PictureKind kind) {
  PictureJob job;
  job.kind = kind;
  job.key = key;
  job.settings = StartSettings();
  job.settings.imageWidth = width;
  auto data = std::make_shared<GraphData>();
  data->count = values;
  for (int i = 0; i < values; ++i) data->values[i] = i % 7;
  data->maxValue = 6;
  job.data = std::move(data);
  job.pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(job.settings.imageHeight);
  return job;
}
