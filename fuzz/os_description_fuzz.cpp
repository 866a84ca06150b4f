// Fuzz target: the operating-system description composed from fuzzed version
// numbers, masks, texts and query answers (the fake queries of the unit
// tests), with every combination of the switches. Besides the sanitizers'
// findings it checks that the queries are asked only where a row or a switch
// needs them, and that the out arguments receive the version numbers.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_check.h"
#include "sysinfo/os_description.h"
#include "tests/sysinfo/fake_os_queries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  FakeOsQueries queries;
  if (input.ConsumeIntegralInRange<int>(0, 15) != 0) {
    OsVersionFacts facts;
    // Mostly the numbers of real versions, where the rows lie; sometimes any.
    const bool anyNumbers = input.ConsumeBool();
    facts.major = anyNumbers ? input.ConsumeIntegral<int>() : input.ConsumeIntegralInRange(3, 11);
    facts.minor = anyNumbers ? input.ConsumeIntegral<int>() : input.ConsumeIntegralInRange(0, 11);
    facts.build = input.ConsumeBool() ? input.ConsumeIntegral<std::int16_t>()
                                      : input.ConsumeIntegralInRange(0, 1);
    facts.productType = input.ConsumeIntegralInRange(0, 3);
    facts.suiteMask = input.ConsumeIntegral<std::uint16_t>();
    facts.systemInfoFirstField = input.ConsumeIntegral<std::uint32_t>();
    facts.wow64Flag = input.ConsumeIntegralInRange(0, 1);
    facts.servicePack = ConsumeText(input);
    queries.versionFacts = facts;
  }
  queries.serverR2Metric = input.ConsumeIntegralInRange(0, 1);
  queries.productNumber = input.ConsumeIntegralInRange(-1, 50);
  queries.registry[kServicePackRegistryPath] = ConsumeText(input);
  queries.registry[kBuildRegistryPath] = ConsumeText(input);
  const OsDescriptionSwitches switches{input.ConsumeBool(), input.ConsumeBool(),
                                       input.ConsumeBool(), input.ConsumeBool()};

  int major = -12345;
  int minor = -12345;
  const Text description = DescribeOperatingSystem(queries, &major, &minor, switches);
  CheckNoZeroByte(description);
  FUZZ_CHECK(queries.versionAsked == 1);

  if (!queries.versionFacts) {
    FUZZ_CHECK(description.empty() && major == -12345 && minor == -12345);
    FUZZ_CHECK(queries.serverR2Asked == 0 && queries.productAsked.empty() &&
               queries.registryRead.empty());
    return 0;
  }
  const OsVersionFacts& facts = *queries.versionFacts;
  FUZZ_CHECK(major == facts.major && minor == facts.minor);
  FUZZ_CHECK(queries.serverR2Asked <= (facts.major == 5 && facts.minor == 2 ? 1 : 0));
  for (const auto& [askedMajor, askedMinor] : queries.productAsked) {
    FUZZ_CHECK(askedMajor == facts.major && askedMinor == facts.minor && askedMajor >= 6);
  }
  const std::size_t registryNeeded =
      (switches.withServicePack && facts.servicePack.empty() ? 1 : 0) +
      (switches.withBuild && facts.build == 0 ? 1 : 0);
  FUZZ_CHECK(queries.registryRead.size() == registryNeeded);
  return 0;
}
