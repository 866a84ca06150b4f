// The decision table, the product table and the composition of the
// operating-system description. Pure logic: the numbers come in through
// OsVersionFacts, and the three queries that only some rows or switches need
// come through OsQueries, so that they are made only then.
#include "sysinfo/os_description.h"

namespace {

constexpr int kWorkstation = 1;  // VER_NT_WORKSTATION

// Suite bits of wSuiteMask.
constexpr int kSuiteEnterprise = 2;        // VER_SUITE_ENTERPRISE
constexpr int kSuiteDatacenter = 128;      // VER_SUITE_DATACENTER
constexpr int kSuitePersonal = 512;        // VER_SUITE_PERSONAL
constexpr int kSuiteStorageServer = 8192;  // VER_SUITE_STORAGE_SERVER
constexpr int kSuiteHomeServer = 32768;    // VER_SUITE_WH_SERVER

// Processor architectures of SYSTEM_INFO.
constexpr std::uint32_t kArchitectureIa64 = 6;    // PROCESSOR_ARCHITECTURE_IA64
constexpr std::uint32_t kArchitectureAmd64 = 9;   // PROCESSOR_ARCHITECTURE_AMD64
constexpr std::uint32_t kArchitectureArm64 = 12;  // PROCESSOR_ARCHITECTURE_ARM64

// Every release since Windows 10 reports version 10.0; only the build number
// tells them apart. Newest first: the first entry the build reaches names it.
struct NameFromBuild {
  int fromBuild;
  const char* name;
};
constexpr NameFromBuild kWorkstations10[] = {
    {22000, "Windows 11"},
    {0, "Windows 10"},
};
constexpr NameFromBuild kServers10[] = {
    {26100, "Windows Server 2025"},
    {20348, "Windows Server 2022"},
    {17763, "Windows Server 2019"},
    {0, "Windows Server 2016"},
};

template <std::size_t N>
Text NameByBuild(const NameFromBuild (&names)[N], int build) {
  for (const NameFromBuild& entry : names) {
    if (build >= entry.fromBuild) return entry.name;
  }
  return names[N - 1].name;  // a build below 0 counts as the oldest release
}

Text NameOfVersion6(int minor, bool workstation) {
  switch (minor) {
    case 0:
      return workstation ? "Windows Vista" : "Windows Server 2008";
    case 1:
      return workstation ? "Windows 7" : "Windows Server 2008 R2";
    case 2:
      return workstation ? "Windows 8" : "Windows Server 2012";
    case 3:
      return workstation ? "Windows 8.1" : "Windows Server 2012 R2";
    default:
      return Text();
  }
}

Text EditionOfWindows2000(const OsVersionFacts& facts) {
  if (facts.productType == kWorkstation) return "Professional";
  if (facts.suiteMask & kSuiteDatacenter) return "Datacenter Server";
  if (facts.suiteMask & kSuiteEnterprise) return "Advanced Server";
  return "Server";
}

Text NameOfVersion52(const OsVersionFacts& facts, OsQueries& queries) {
  // The two Server 2003 names end in a comma and a blank, which stay.
  if (queries.ServerR2Metric() != 0) return "Windows Server 2003 R2, ";
  if (facts.suiteMask & kSuiteStorageServer) return "Windows Storage Server 2003";
  if (facts.suiteMask & kSuiteHomeServer) return "Windows Home Server";
  if (facts.productType == kWorkstation && facts.systemInfoFirstField == kArchitectureAmd64) {
    return "Windows XP Professional x64 Edition";
  }
  return "Windows Server 2003, ";
}

}  // namespace

Text ProductEdition(int productNumber) {
  switch (productNumber) {
    case 1:
      return "Ultimate Edition";
    case 2:
      return "Home Basic Edition";
    case 3:
      return "Home Premium Edition";
    case 4:
      return "Enterprise Edition";
    case 6:
      return "Business Edition";
    case 7:
      return "Standard";
    case 8:
      return "Datacenter Edition";
    case 9:
      return "Small Business Server";
    case 10:
      return "Enterprise Edition";
    case 11:
      return "Starter Edition";
    case 12:
      return "Datacenter Edition (core installation)";
    case 13:
      return "Standard Edition (core installation)";
    case 14:
      return "Enterprise Edition (core installation)";
    case 15:
      return "Enterprise Edition for Itanium-based Systems";
    case 16:
      return "Business N";
    case 17:
      return "Web Server (full installation)";
    case 18:
      return "HPC Edition";
    case 19:
      return "Windows Storage Server 2008 R2 Essentials";
    case 20:
      return "Storage Server Express";
    case 21:
      return "Storage Server Standard";
    case 22:
      return "Storage Server Workgroup";
    case 23:
      return "Storage Server Enterprise";
    case 25:
      return "Small Business Server Premium Edition";
    case 48:
      return "Professional";
    default:
      return Text();
  }
}

OsName DecideOsName(const OsVersionFacts& facts, OsQueries& queries) {
  const int major = facts.major;
  const int minor = facts.minor;
  const bool workstation = facts.productType == kWorkstation;
  OsName result;
  if (major == 10) {
    if (minor == 0) {
      result.name = workstation ? NameByBuild(kWorkstations10, facts.build)
                                : NameByBuild(kServers10, facts.build);
    }
  } else if (major == 6) {
    result.name = NameOfVersion6(minor, workstation);
  } else if (major == 5 && minor == 0) {
    result.name = "Windows 2000";
    result.edition = EditionOfWindows2000(facts);
  } else if (major == 5 && minor == 1) {
    result.name = "Windows XP";
    result.edition = (facts.suiteMask & kSuitePersonal) ? "Home Edition" : "Professional";
  } else if (major == 5 && minor == 2) {
    result.name = NameOfVersion52(facts, queries);
  } else if (major == 4 && minor == 10) {
    result.name = "Windows 98";
  } else if (major >= 6) {
    // A release this table does not know: only its product edition is told.
    result.edition = ProductEdition(queries.ProductNumber(major, minor));
  } else {
    result.name = "获取失败，请检查版本:" + ToText(major) + "." + ToText(minor);
  }
  return result;
}

bool WindowsIs64Bit(const OsVersionFacts& facts) {
  // A 32-bit process learns it from the WOW64 flag; its own system
  // information shows the x86 architecture. A 64-bit process is never under
  // WOW64 (the flag is 0) but sees the 64-bit architecture it runs on, and it
  // can run only on 64-bit Windows.
  if (facts.wow64Flag != 0) return true;
  const std::uint32_t architecture = facts.systemInfoFirstField & 0xFFFFu;
  return architecture == kArchitectureAmd64 || architecture == kArchitectureIa64 ||
         architecture == kArchitectureArm64;
}

Text ComposeOsDescription(const OsVersionFacts& facts, const OsDescriptionSwitches& switches,
                          OsQueries& queries) {
  const OsName os = DecideOsName(facts, queries);
  Text description = os.name;
  // The blank comes even when the edition is empty.
  if (switches.withEdition) description = os.name + " " + os.edition;
  if (switches.withArchitecture) description += WindowsIs64Bit(facts) ? " x64" : " x86";

  Text suffix;
  if (switches.withServicePack) {
    Text servicePack = facts.servicePack;
    if (servicePack.empty())
      servicePack = queries.ReadMachineRegistryText(kServicePackRegistryPath);
    if (TextLength(servicePack) > 2) suffix = servicePack;
  }
  if (switches.withBuild) {
    const Text build = facts.build != 0 ? ToText(facts.build)
                                        : queries.ReadMachineRegistryText(kBuildRegistryPath);
    suffix = suffix.empty() ? "Build:" + build : suffix + ",Build:" + build;
  }
  if (!suffix.empty()) suffix = " (" + suffix + ")";
  return description + suffix;
}

Text DescribeOperatingSystem(OsQueries& queries, int* majorVersion, int* minorVersion,
                             const OsDescriptionSwitches& switches) {
  const std::optional<OsVersionFacts> facts = queries.ReadVersionFacts();
  if (!facts) return Text();
  if (majorVersion != nullptr) *majorVersion = facts->major;
  if (minorVersion != nullptr) *minorVersion = facts->minor;
  return ComposeOsDescription(*facts, switches, queries);
}
