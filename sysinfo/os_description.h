// The operating-system description: the decision table that names the Windows
// version and the composition of name, edition, architecture and the
// parenthesised service-pack and build suffix, as pure functions of the numbers
// and texts the system reports. DescribeOperatingSystem gathers those numbers
// from the system (os_description_win.cpp) and applies them.
#pragma once

#include <cstdint>
#include <optional>

#include "core/text.h"

// What the version queries report, read once per description.
struct OsVersionFacts {
  int major = 0;  // M: the true major number from RtlGetNtVersionNumbers
  int minor = 0;  // m: the true minor number from RtlGetNtVersionNumbers
  // The low 16 bits of RtlGetNtVersionNumbers' build value, read as a signed
  // 16-bit number.
  int build = 0;
  int productType = 0;  // T: wProductType; 1 is a workstation, any other value a server
  int suiteMask = 0;    // S: wSuiteMask
  // The first 32-bit field of SYSTEM_INFO: wProcessorArchitecture in its low
  // half, wReserved in its high half.
  std::uint32_t systemInfoFirstField = 0;
  int wow64Flag = 0;  // IsWow64Process for the current process
  Text servicePack;   // szCSDVersion up to its first zero byte
};

// The system queries behind the description. The first is made on every call;
// the others only when a row or a switch needs them.
class OsQueries {
 public:
  virtual ~OsQueries() = default;
  // The version record, the system information, the WOW64 flag and the true
  // version numbers; nothing when the version query fails, and then no other
  // query is made.
  virtual std::optional<OsVersionFacts> ReadVersionFacts() = 0;
  // GetSystemMetrics(SM_SERVERR2); asked only for version 5.2.
  virtual int ServerR2Metric() = 0;
  // RtlGetProductInfo(major, minor, 0, 0); 0 when the query fails. Asked only
  // for majors from 6 up that no other row names.
  virtual int ProductNumber(int major, int minor) = 0;
  // ReadRegistryText under HKEY_LOCAL_MACHINE; asked only for a missing
  // service-pack text or build number.
  virtual Text ReadMachineRegistryText(const Text& path) = 0;
};

struct OsName {
  Text name;
  Text edition;
};

// The registry values read when the version record lacks them.
inline constexpr const char* kServicePackRegistryPath =
    R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\CSDVersion)";
inline constexpr const char* kBuildRegistryPath =
    R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\CurrentBuild)";

// The edition a product number of RtlGetProductInfo stands for; empty for a
// number the table does not list.
Text ProductEdition(int productNumber);

// The decision table: the first row whose condition holds sets name and edition.
OsName DecideOsName(const OsVersionFacts& facts, OsQueries& queries);

// True when Windows itself is 64-bit: a 32-bit process under WOW64, or a
// process that sees a 64-bit processor architecture in its own system
// information, which only a 64-bit process on 64-bit Windows does.
bool WindowsIs64Bit(const OsVersionFacts& facts);

struct OsDescriptionSwitches {
  bool withEdition = false;
  bool withArchitecture = false;
  bool withServicePack = false;
  bool withBuild = false;
};

// The description: the name, then with the switches the edition, " x64" or
// " x86", and the suffix " (service pack,Build:build)".
Text ComposeOsDescription(const OsVersionFacts& facts, const OsDescriptionSwitches& switches,
                          OsQueries& queries);

// Describes the Windows version the queries report. The two out arguments,
// when given, receive the major and minor numbers once the version query has
// succeeded; when it fails they are left alone and the result is empty.
Text DescribeOperatingSystem(OsQueries& queries, int* majorVersion, int* minorVersion,
                             const OsDescriptionSwitches& switches);

// Describes the running Windows version, as above, with the system's queries
// (os_description_win.cpp). The readout passes no arguments at all.
Text DescribeOperatingSystem(int* majorVersion = nullptr, int* minorVersion = nullptr,
                             bool withEdition = false, bool withArchitecture = false,
                             bool withServicePack = false, bool withBuild = false);
