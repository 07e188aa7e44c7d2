#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "model/GraphModel.h"
#include "tests/model/RecordingHooks.h"
#include "tests/support/ResetGraphModel.h"

// Every test starts from the program's start-up state and writes its data
// files beside the test binary.
class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGraphModel();
    hookCalls.clear();
  }
  void TearDown() override {
    for (const std::string& path : files_) std::remove(path.c_str());
  }

  std::string WriteFile(const std::string& bytes) {
    std::string path = "model_test_" + std::to_string(files_.size()) + ".txt";
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    files_.push_back(path);
    return path;
  }

 private:
  std::vector<std::string> files_;
};
