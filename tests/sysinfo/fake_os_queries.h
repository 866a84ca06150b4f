// A recording stand-in for the queries the OS description makes only when a
// row or a switch needs them; it counts every question it is asked.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "sysinfo/os_description.h"

class FakeOsQueries : public OsQueries {
 public:
  std::optional<OsVersionFacts> versionFacts;  // nothing: the version query fails
  int serverR2Metric = 0;
  int productNumber = 0;
  std::map<std::string, Text> registry;  // by path; a missing path reads as empty

  int versionAsked = 0;
  int serverR2Asked = 0;
  std::vector<std::pair<int, int>> productAsked;  // (major, minor) of every question
  std::vector<std::string> registryRead;          // the paths, in order

  std::optional<OsVersionFacts> ReadVersionFacts() override {
    ++versionAsked;
    return versionFacts;
  }
  int ServerR2Metric() override {
    ++serverR2Asked;
    return serverR2Metric;
  }
  int ProductNumber(int major, int minor) override {
    productAsked.emplace_back(major, minor);
    return productNumber;
  }
  Text ReadMachineRegistryText(const Text& path) override {
    registryRead.push_back(path.bytes());
    auto found = registry.find(path.bytes());
    return found == registry.end() ? Text() : found->second;
  }
};
