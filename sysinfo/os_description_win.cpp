// DescribeOperatingSystem on Windows: the version record, the system
// information, the WOW64 flag and the true version numbers of ntdll, and the
// queries that only some rows or switches need. Implementation here must
// contain only Win32 specific code; the decisions are in os_description.cpp.
#include <cstdint>
#include <cstring>
#include <optional>

#include "core/system.h"
#include "core/system_function.h"
#include "core/win32.h"
#include "sysinfo/os_description.h"

namespace {

// The version record is the 156-byte extended ANSI record.
static_assert(sizeof(OSVERSIONINFOEXA) == 156);

// Not in every SDK's import libraries, so looked up in ntdll at run time.
using RtlGetNtVersionNumbersFunction = void(WINAPI*)(DWORD* major, DWORD* minor, DWORD* build);
using RtlGetProductInfoFunction = BOOLEAN(WINAPI*)(DWORD major, DWORD minor, DWORD servicePackMajor,
                                                   DWORD servicePackMinor, DWORD* productType);

class SystemOsQueries final : public OsQueries {
 public:
  std::optional<OsVersionFacts> ReadVersionFacts() override {
    OSVERSIONINFOEXA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    // GetVersionExA is the one call that fills product type, suite mask and
    // service-pack text together. Without a compatibility manifest Windows 8.1
    // and later report 6.2 here, so the numbers are replaced from ntdll below.
    if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version))) return std::nullopt;

    SYSTEM_INFO systemInfo{};
    ::GetSystemInfo(&systemInfo);
    BOOL wow64 = FALSE;
    // The pseudo-handle -1 of the current process.
    if (!::IsWow64Process(::GetCurrentProcess(), &wow64)) wow64 = FALSE;

    const auto getNtVersionNumbers =
        SystemFunction<RtlGetNtVersionNumbersFunction>("ntdll.dll", "RtlGetNtVersionNumbers");
    DWORD rawBuild = 0;
    getNtVersionNumbers(&version.dwMajorVersion, &version.dwMinorVersion, &rawBuild);

    OsVersionFacts facts;
    facts.major = static_cast<int>(version.dwMajorVersion);
    facts.minor = static_cast<int>(version.dwMinorVersion);
    // The high bits carry the checked/free build flag (0xF0000000 on a release
    // build); the build number is the low 16 bits, read as a signed number.
    facts.build = static_cast<std::int16_t>(rawBuild & 0xFFFFu);
    facts.productType = version.wProductType;
    facts.suiteMask = version.wSuiteMask;
    // The first 32-bit field of SYSTEM_INFO: the architecture and wReserved.
    std::memcpy(&facts.systemInfoFirstField, &systemInfo, sizeof(facts.systemInfoFirstField));
    facts.wow64Flag = wow64 ? 1 : 0;
    facts.servicePack = ToTextFromField(version.szCSDVersion, sizeof(version.szCSDVersion));
    return facts;
  }

  // Asked only for version 5.2.
  int ServerR2Metric() override { return ::GetSystemMetrics(SM_SERVERR2); }

  // Asked only for majors from 6 up that the table does not name.
  int ProductNumber(int major, int minor) override {
    const auto getProductInfo =
        SystemFunction<RtlGetProductInfoFunction>("ntdll.dll", "RtlGetProductInfo");
    DWORD product = 0;
    if (!getProductInfo(static_cast<DWORD>(major), static_cast<DWORD>(minor), 0, 0, &product)) {
      return 0;  // a failing query leaves the edition empty
    }
    return static_cast<int>(product);
  }

  Text ReadMachineRegistryText(const Text& path) override {
    return ReadRegistryText(kLocalMachine, path);
  }
};

}  // namespace

Text DescribeOperatingSystem(int* majorVersion, int* minorVersion, bool withEdition,
                             bool withArchitecture, bool withServicePack, bool withBuild) {
  SystemOsQueries queries;
  return DescribeOperatingSystem(queries, majorVersion, minorVersion,
                                 {withEdition, withArchitecture, withServicePack, withBuild});
}
