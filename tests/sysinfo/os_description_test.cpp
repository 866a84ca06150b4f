// The decision table, the product table, the architecture decision and the
// composition of the operating-system description, natively on fixed numbers.
#include "sysinfo/os_description.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/sysinfo/fake_os_queries.h"

namespace {

constexpr int kWorkstation = 1;
constexpr int kDomainController = 2;
constexpr int kServer = 3;

OsVersionFacts Version(int major, int minor, int productType = kWorkstation, int build = 0) {
  OsVersionFacts facts;
  facts.major = major;
  facts.minor = minor;
  facts.productType = productType;
  facts.build = build;
  return facts;
}

std::string Describe(const OsVersionFacts& facts) {
  return "M=" + std::to_string(facts.major) + " m=" + std::to_string(facts.minor) +
         " T=" + std::to_string(facts.productType) + " S=" + std::to_string(facts.suiteMask) +
         " field=" + std::to_string(facts.systemInfoFirstField) +
         " build=" + std::to_string(facts.build);
}

TEST(DecideOsName, NamesEveryRowOfTheTable) {
  struct Case {
    OsVersionFacts facts;
    int serverR2Metric;
    int productNumber;
    const char* name;
    const char* edition;
  };
  auto with = [](OsVersionFacts facts, int suiteMask, std::uint32_t field = 0) {
    facts.suiteMask = suiteMask;
    facts.systemInfoFirstField = field;
    return facts;
  };
  const Case cases[] = {
      // Row 1: 10.0, decided by product type and build number.
      {Version(10, 0, kWorkstation), 0, 0, "Windows 10", ""},
      {Version(10, 0, kServer), 0, 0, "Windows Server 2016", ""},
      // Rows 2 and 7: other minors of 10 and 6 name nothing.
      {Version(10, 1), 0, 0, "", ""},
      {Version(6, 4), 0, 0, "", ""},
      // Rows 3 to 6.
      {Version(6, 0, kWorkstation), 0, 0, "Windows Vista", ""},
      {Version(6, 0, kServer), 0, 0, "Windows Server 2008", ""},
      {Version(6, 1, kWorkstation), 0, 0, "Windows 7", ""},
      {Version(6, 1, kDomainController), 0, 0, "Windows Server 2008 R2", ""},
      {Version(6, 2, kWorkstation), 0, 0, "Windows 8", ""},
      {Version(6, 2, kServer), 0, 0, "Windows Server 2012", ""},
      {Version(6, 3, kWorkstation), 0, 0, "Windows 8.1", ""},
      {Version(6, 3, kDomainController), 0, 0, "Windows Server 2012 R2", ""},
      // Row 8: Windows 2000 and its editions.
      {with(Version(5, 0, kWorkstation), 128 | 2), 0, 0, "Windows 2000", "Professional"},
      {with(Version(5, 0, kServer), 128 | 2), 0, 0, "Windows 2000", "Datacenter Server"},
      {with(Version(5, 0, kServer), 2), 0, 0, "Windows 2000", "Advanced Server"},
      {with(Version(5, 0, kServer), 0), 0, 0, "Windows 2000", "Server"},
      // Row 9: Windows XP.
      {with(Version(5, 1), 512), 0, 0, "Windows XP", "Home Edition"},
      {with(Version(5, 1), 0), 0, 0, "Windows XP", "Professional"},
      // Row 10: 5.2; the R2 metric wins over every suite bit.
      {with(Version(5, 2, kWorkstation), 8192 | 32768, 9), 1, 0, "Windows Server 2003 R2, ", ""},
      {with(Version(5, 2, kServer), 8192 | 32768), 0, 0, "Windows Storage Server 2003", ""},
      {with(Version(5, 2, kServer), 32768), 0, 0, "Windows Home Server", ""},
      {with(Version(5, 2, kWorkstation), 0, 9), 0, 0, "Windows XP Professional x64 Edition", ""},
      {with(Version(5, 2, kWorkstation), 0, 0), 0, 0, "Windows Server 2003, ", ""},
      {with(Version(5, 2, kServer), 0, 9), 0, 0, "Windows Server 2003, ", ""},
      // Row 11.
      {Version(4, 10), 0, 0, "Windows 98", ""},
      // Row 12: unknown majors from 6 up tell only the product edition.
      {Version(7, 0), 0, 48, "", "Professional"},
      {Version(11, 2), 0, 1, "", "Ultimate Edition"},
      {Version(9, 0), 0, 5, "", ""},
      {Version(8, 1), 0, 0, "", ""},
      // Row 13: anything else below 6 names the numbers found, unpadded.
      {Version(4, 0), 0, 0, "获取失败，请检查版本:4.0", ""},
      {Version(4, 90), 0, 0, "获取失败，请检查版本:4.90", ""},
      {Version(5, 3), 0, 0, "获取失败，请检查版本:5.3", ""},
      {Version(3, 51), 0, 0, "获取失败，请检查版本:3.51", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Describe(c.facts));
    FakeOsQueries queries;
    queries.serverR2Metric = c.serverR2Metric;
    queries.productNumber = c.productNumber;
    const OsName os = DecideOsName(c.facts, queries);
    EXPECT_EQ(os.name.bytes(), c.name);
    EXPECT_EQ(os.edition.bytes(), c.edition);
  }
}

TEST(DecideOsName, TellsReleasesOfVersion10ApartByBuildNumber) {
  struct Case {
    int productType;
    int build;
    const char* name;
  } cases[] = {
      {kWorkstation, 0, "Windows 10"},
      {kWorkstation, 10240, "Windows 10"},
      {kWorkstation, 19045, "Windows 10"},
      {kWorkstation, 21999, "Windows 10"},
      {kWorkstation, 22000, "Windows 11"},
      {kWorkstation, 22631, "Windows 11"},
      {kWorkstation, 26100, "Windows 11"},  // a workstation never gets a server name
      {kWorkstation, -1, "Windows 10"},
      {kServer, 0, "Windows Server 2016"},
      {kServer, 14393, "Windows Server 2016"},
      {kServer, 17762, "Windows Server 2016"},
      {kServer, 17763, "Windows Server 2019"},
      {kServer, 20347, "Windows Server 2019"},
      {kServer, 20348, "Windows Server 2022"},
      {kServer, 26099, "Windows Server 2022"},
      {kServer, 26100, "Windows Server 2025"},
      {kServer, 30000, "Windows Server 2025"},
      {kDomainController, 20348, "Windows Server 2022"},
      {kServer, 22000, "Windows Server 2022"},  // 22000 makes Windows 11 only on workstations
  };
  for (const auto& c : cases) {
    const OsVersionFacts facts = Version(10, 0, c.productType, c.build);
    SCOPED_TRACE(Describe(facts));
    FakeOsQueries queries;
    EXPECT_EQ(DecideOsName(facts, queries).name.bytes(), c.name);
  }
}

TEST(DecideOsName, AsksForTheR2MetricOnlyForVersion52) {
  const OsVersionFacts versions[] = {Version(5, 2),  Version(5, 1), Version(6, 1),
                                     Version(10, 0), Version(7, 0), Version(4, 0)};
  for (const OsVersionFacts& facts : versions) {
    SCOPED_TRACE(Describe(facts));
    FakeOsQueries queries;
    DecideOsName(facts, queries);
    EXPECT_EQ(queries.serverR2Asked, facts.major == 5 && facts.minor == 2 ? 1 : 0);
  }
}

TEST(DecideOsName, AsksForTheProductNumberOnlyForUnknownMajorsFromSixUp) {
  const OsVersionFacts versions[] = {Version(7, 0),  Version(11, 3), Version(6, 1), Version(6, 4),
                                     Version(10, 0), Version(10, 1), Version(5, 2), Version(4, 0)};
  for (const OsVersionFacts& facts : versions) {
    SCOPED_TRACE(Describe(facts));
    FakeOsQueries queries;
    DecideOsName(facts, queries);
    const bool unknownMajor = facts.major >= 6 && facts.major != 6 && facts.major != 10;
    if (unknownMajor) {
      ASSERT_EQ(queries.productAsked.size(), 1u);
      EXPECT_EQ(queries.productAsked[0], std::make_pair(facts.major, facts.minor));
    } else {
      EXPECT_TRUE(queries.productAsked.empty());
    }
  }
}

TEST(ProductEdition, MapsTheListedNumbersAndNothingElse) {
  struct Case {
    int number;
    const char* edition;
  } cases[] = {
      {1, "Ultimate Edition"},
      {2, "Home Basic Edition"},
      {3, "Home Premium Edition"},
      {4, "Enterprise Edition"},
      {6, "Business Edition"},
      {7, "Standard"},
      {8, "Datacenter Edition"},
      {9, "Small Business Server"},
      {10, "Enterprise Edition"},
      {11, "Starter Edition"},
      {12, "Datacenter Edition (core installation)"},
      {13, "Standard Edition (core installation)"},
      {14, "Enterprise Edition (core installation)"},
      {15, "Enterprise Edition for Itanium-based Systems"},
      {16, "Business N"},
      {17, "Web Server (full installation)"},
      {18, "HPC Edition"},
      {19, "Windows Storage Server 2008 R2 Essentials"},
      {20, "Storage Server Express"},
      {21, "Storage Server Standard"},
      {22, "Storage Server Workgroup"},
      {23, "Storage Server Enterprise"},
      {25, "Small Business Server Premium Edition"},
      {48, "Professional"},
      // Not listed: the edition stays empty.
      {0, ""},
      {5, ""},
      {24, ""},
      {26, ""},
      {47, ""},
      {49, ""},
      {-1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    EXPECT_EQ(ProductEdition(c.number).bytes(), c.edition);
  }
}

TEST(WindowsIs64Bit, TellsTheArchitectureOfWindowsNotOfTheProcess) {
  struct Case {
    int wow64Flag;
    std::uint32_t systemInfoFirstField;
    bool expected;
    const char* what;
  } cases[] = {
      {1, 0, true, "32-bit process under WOW64"},
      {0, 9, true, "64-bit process on x64 Windows: not under WOW64"},
      {0, 0x00010009, true, "wReserved in the high half does not matter"},
      {0, 6, true, "64-bit process on Itanium"},
      {0, 12, true, "64-bit process on ARM64"},
      {0, 0, false, "32-bit process on 32-bit Windows"},
      {0, 5, false, "32-bit ARM"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    OsVersionFacts facts = Version(6, 1);
    facts.wow64Flag = c.wow64Flag;
    facts.systemInfoFirstField = c.systemInfoFirstField;
    EXPECT_EQ(WindowsIs64Bit(facts), c.expected);
  }
}

// --- Composition -------------------------------------------------------------

std::string Compose(const OsVersionFacts& facts, const OsDescriptionSwitches& switches,
                    FakeOsQueries& queries) {
  return ComposeOsDescription(facts, switches, queries).bytes();
}

TEST(ComposeOsDescription, GivesTheBareNameWithoutSwitches) {
  OsVersionFacts facts = Version(6, 1, kWorkstation, 7601);
  facts.servicePack = "Service Pack 1";
  facts.wow64Flag = 1;
  FakeOsQueries queries;
  EXPECT_EQ(Compose(facts, {}, queries), "Windows 7");
  EXPECT_EQ(Compose(Version(10, 1), {}, queries), "");
  EXPECT_TRUE(queries.registryRead.empty());
}

TEST(ComposeOsDescription, AppendsABlankAndTheEditionWithEdition) {
  struct Case {
    OsVersionFacts facts;
    int productNumber;
    const char* expected;
  };
  auto suite = [](OsVersionFacts facts, int suiteMask) {
    facts.suiteMask = suiteMask;
    return facts;
  };
  const Case cases[] = {
      {suite(Version(5, 1), 512), 0, "Windows XP Home Edition"},
      {suite(Version(5, 0, kServer), 128 | 2), 0, "Windows 2000 Datacenter Server"},
      {suite(Version(5, 0, kServer), 2), 0, "Windows 2000 Advanced Server"},
      {suite(Version(5, 0, kServer), 0), 0, "Windows 2000 Server"},
      {Version(6, 1), 0, "Windows 7 "},      // the blank comes with an empty edition
      {Version(7, 0), 48, " Professional"},  // an empty name leaves a leading blank
      {Version(10, 1), 0, " "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Describe(c.facts));
    FakeOsQueries queries;
    queries.productNumber = c.productNumber;
    EXPECT_EQ(Compose(c.facts, {.withEdition = true}, queries), c.expected);
  }
}

TEST(ComposeOsDescription, AppendsTheArchitectureOfWindowsWithArchitecture) {
  struct Case {
    int wow64Flag;
    std::uint32_t systemInfoFirstField;
    const char* expected;
  } cases[] = {
      {1, 0, "Windows 7 x64"},
      {0, 9, "Windows 7 x64"},  // a 64-bit build of the program on 64-bit Windows
      {0, 0, "Windows 7 x86"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    OsVersionFacts facts = Version(6, 1);
    facts.wow64Flag = c.wow64Flag;
    facts.systemInfoFirstField = c.systemInfoFirstField;
    FakeOsQueries queries;
    EXPECT_EQ(Compose(facts, {.withArchitecture = true}, queries), c.expected);
  }
}

TEST(ComposeOsDescription, PutsTheServicePackIntoTheSuffixWithServicePack) {
  struct Case {
    const char* recordText;
    const char* registryText;  // nullptr: the value is missing
    const char* expected;
    bool registryRead;
  } cases[] = {
      {"Service Pack 1", "Service Pack 9", "Windows 7 (Service Pack 1)", false},
      {"", "Service Pack 2", "Windows 7 (Service Pack 2)", true},
      {"", nullptr, "Windows 7", true},
      {"SP", nullptr, "Windows 7", false},  // 2 bytes or less: no suffix
      {"", "S1", "Windows 7", true},        // likewise from the registry
      {"SP1", nullptr, "Windows 7 (SP1)", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    OsVersionFacts facts = Version(6, 1, kWorkstation, 7601);
    facts.servicePack = c.recordText;
    FakeOsQueries queries;
    if (c.registryText != nullptr) queries.registry[kServicePackRegistryPath] = c.registryText;
    EXPECT_EQ(Compose(facts, {.withServicePack = true}, queries), c.expected);
    if (c.registryRead) {
      EXPECT_EQ(queries.registryRead, std::vector<std::string>{kServicePackRegistryPath});
    } else {
      EXPECT_TRUE(queries.registryRead.empty());
    }
  }
}

TEST(ComposeOsDescription, PutsTheBuildIntoTheSuffixWithBuild) {
  struct Case {
    int build;
    const char* registryText;  // nullptr: the value is missing
    const char* expected;
    bool registryRead;
  } cases[] = {
      {7601, "9999", "Windows 7 (Build:7601)", false},
      {0, "7600", "Windows 7 (Build:7600)", true},  // low 16 bits of 0: from the registry
      {0, nullptr, "Windows 7 (Build:)", true},     // a missing value still yields "Build:"
      {-3, nullptr, "Windows 7 (Build:-3)", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    FakeOsQueries queries;
    if (c.registryText != nullptr) queries.registry[kBuildRegistryPath] = c.registryText;
    EXPECT_EQ(Compose(Version(6, 1, kWorkstation, c.build), {.withBuild = true}, queries),
              c.expected);
    if (c.registryRead) {
      EXPECT_EQ(queries.registryRead, std::vector<std::string>{kBuildRegistryPath});
    } else {
      EXPECT_TRUE(queries.registryRead.empty());
    }
  }
}

TEST(ComposeOsDescription, JoinsServicePackAndBuildWithAComma) {
  OsVersionFacts facts = Version(6, 1, kWorkstation, 7601);
  facts.servicePack = "Service Pack 1";
  FakeOsQueries queries;
  EXPECT_EQ(Compose(facts, {.withServicePack = true, .withBuild = true}, queries),
            "Windows 7 (Service Pack 1,Build:7601)");
  facts.servicePack = "SP";  // too short: the build stands alone
  EXPECT_EQ(Compose(facts, {.withServicePack = true, .withBuild = true}, queries),
            "Windows 7 (Build:7601)");
}

TEST(ComposeOsDescription, ReadsBothRegistryFallbacksInOrderWithAllSwitches) {
  OsVersionFacts facts = Version(7, 0, kWorkstation, 0);
  facts.wow64Flag = 1;
  FakeOsQueries queries;
  queries.productNumber = 48;
  queries.registry[kServicePackRegistryPath] = "Service Pack 3";
  queries.registry[kBuildRegistryPath] = "30000";
  EXPECT_EQ(Compose(facts, {true, true, true, true}, queries),
            " Professional x64 (Service Pack 3,Build:30000)");
  EXPECT_EQ(queries.registryRead,
            (std::vector<std::string>{kServicePackRegistryPath, kBuildRegistryPath}));
}

TEST(ComposeOsDescription, KeepsTheServer2003CommaBeforeTheOtherParts) {
  OsVersionFacts facts = Version(5, 2, kServer, 3790);
  facts.servicePack = "Service Pack 2";
  FakeOsQueries queries;
  queries.serverR2Metric = 1;
  EXPECT_EQ(Compose(facts, {true, true, true, true}, queries),
            "Windows Server 2003 R2,   x86 (Service Pack 2,Build:3790)");
  EXPECT_EQ(queries.serverR2Asked, 1);
}

TEST(DescribeOperatingSystem, GivesEmptyTextAndLeavesTheOutArgumentsWhenTheVersionQueryFails) {
  FakeOsQueries queries;  // no version facts: the query fails
  int major = -7;
  int minor = -7;
  EXPECT_EQ(DescribeOperatingSystem(queries, &major, &minor, {true, true, true, true}).bytes(), "");
  EXPECT_EQ(major, -7);
  EXPECT_EQ(minor, -7);
  EXPECT_EQ(queries.serverR2Asked, 0);
  EXPECT_TRUE(queries.productAsked.empty());
  EXPECT_TRUE(queries.registryRead.empty());
}

TEST(DescribeOperatingSystem, WritesTheOutArgumentsThatAreGivenAndDescribes) {
  FakeOsQueries queries;
  queries.versionFacts = Version(10, 0, kWorkstation, 22631);
  queries.versionFacts->systemInfoFirstField = 9;
  int major = -7;
  int minor = -7;
  EXPECT_EQ(DescribeOperatingSystem(queries, &major, &minor, {}).bytes(), "Windows 11");
  EXPECT_EQ(major, 10);
  EXPECT_EQ(minor, 0);
  // Out arguments left out; the switches reach the composition.
  EXPECT_EQ(DescribeOperatingSystem(queries, nullptr, nullptr,
                                    {.withArchitecture = true, .withBuild = true})
                .bytes(),
            "Windows 11 x64 (Build:22631)");
  EXPECT_EQ(queries.versionAsked, 2);
}

}  // namespace
