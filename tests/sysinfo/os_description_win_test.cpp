// DescribeOperatingSystem on the real Windows APIs (under Wine): the numbers it
// reports against independent queries, and the names it gives when Wine is set
// to report other Windows versions. To change the version for one process
// only, the test binary copies itself under a name of its own, sets Wine's
// per-program version key (HKCU\Software\Wine\AppDefaults\<name>\Version) for
// that name, runs the copy as a child that writes a report, and removes key
// and copy again; other tests of the same prefix never see the change.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "core/win32.h"
#include "sysinfo/os_description.h"

namespace {

using RtlGetNtVersionNumbersFunction = void(WINAPI*)(DWORD*, DWORD*, DWORD*);

struct NtVersion {
  DWORD major = 0;
  DWORD minor = 0;
  DWORD rawBuild = 0;
};

// Independent of the program's own lookup: straight from the loaded ntdll.
NtVersion QueryNtVersion() {
  const auto getNtVersionNumbers =
      reinterpret_cast<RtlGetNtVersionNumbersFunction>(reinterpret_cast<void*>(
          ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetNtVersionNumbers")));
  NtVersion version;
  if (getNtVersionNumbers != nullptr) {
    getNtVersionNumbers(&version.major, &version.minor, &version.rawBuild);
  }
  return version;
}

OSVERSIONINFOEXA QueryVersionRecord() {
  OSVERSIONINFOEXA record{};
  record.dwOSVersionInfoSize = sizeof(record);
  ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&record));
  return record;
}

std::string MachineCsdVersion() {
  char value[256] = {};
  DWORD size = sizeof(value);
  if (::RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                     "CSDVersion", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return "";
  }
  return value;
}

TEST(DescribeOperatingSystemOnWindows, WritesTheTrueVersionNumbersToTheOutArguments) {
  int major = -1;  // sentinels: the call must overwrite them
  int minor = -1;
  const Text description = DescribeOperatingSystem(&major, &minor);
  const NtVersion nt = QueryNtVersion();
  EXPECT_EQ(major, static_cast<int>(nt.major));
  EXPECT_EQ(minor, static_cast<int>(nt.minor));
  EXPECT_FALSE(description.empty()) << "version " << major << "." << minor;
}

TEST(DescribeOperatingSystemOnWindows, SaysX64FromA64BitBuildAlthoughItIsNotUnderWow64) {
  BOOL wow64 = TRUE;
  ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &wow64));
  ASSERT_FALSE(wow64) << "a 64-bit process is never under WOW64";
  const std::string bare = DescribeOperatingSystem().bytes();
  EXPECT_EQ(DescribeOperatingSystem(nullptr, nullptr, false, true).bytes(), bare + " x64");
}

TEST(DescribeOperatingSystemOnWindows, PutsServicePackAndBuildOfTheSystemIntoTheSuffix) {
  const OSVERSIONINFOEXA record = QueryVersionRecord();
  const NtVersion nt = QueryNtVersion();
  const int build = static_cast<std::int16_t>(nt.rawBuild & 0xFFFF);
  ASSERT_NE(build, 0);
  std::string servicePack = record.szCSDVersion;
  if (servicePack.empty()) servicePack = MachineCsdVersion();
  const std::string expected = servicePack.size() > 2
                                   ? " (" + servicePack + ",Build:" + std::to_string(build) + ")"
                                   : " (Build:" + std::to_string(build) + ")";
  const std::string bare = DescribeOperatingSystem().bytes();
  EXPECT_EQ(DescribeOperatingSystem(nullptr, nullptr, false, false, true, true).bytes(),
            bare + expected);
}

// --- Other Windows versions, one child process each ----------------------------

constexpr const wchar_t* kReportVariable = L"ZQ_SYSINFO_CHILD_REPORT";

// Runs only in the child, which the test below starts with this filter.
TEST(OsDescriptionChild, DISABLED_ReportsWhatTheSystemSays) {
  wchar_t reportPath[MAX_PATH] = {};
  if (::GetEnvironmentVariableW(kReportVariable, reportPath, MAX_PATH) == 0) {
    GTEST_SKIP() << "runs only as the child of OsDescriptionUnderWineVersion";
  }
  int major = -1;
  int minor = -1;
  const Text bare = DescribeOperatingSystem();
  const Text full = DescribeOperatingSystem(&major, &minor, true, true, true, true);
  const NtVersion nt = QueryNtVersion();
  const OSVERSIONINFOEXA record = QueryVersionRecord();
  std::ofstream report(std::filesystem::path(reportPath), std::ios::binary);
  report << "bare=" << bare.bytes() << "\n"
         << "full=" << full.bytes() << "\n"
         << "outMajor=" << major << "\n"
         << "outMinor=" << minor << "\n"
         << "ntMajor=" << nt.major << "\n"
         << "ntMinor=" << nt.minor << "\n"
         << "ntBuild=" << static_cast<std::int16_t>(nt.rawBuild & 0xFFFF) << "\n"
         << "versionExMajor=" << record.dwMajorVersion << "\n"
         << "versionExMinor=" << record.dwMinorVersion << "\n"
         << "productType=" << static_cast<int>(record.wProductType) << "\n"
         << "servicePack=" << record.szCSDVersion << "\n";
  ASSERT_TRUE(report.good());
}

using Report = std::map<std::string, std::string>;

// Deletes Wine's version key of one program name when it goes out of scope.
class AppDefaultsVersion {
 public:
  explicit AppDefaultsVersion(std::wstring exeName)
      : keyPath_(L"Software\\Wine\\AppDefaults\\" + std::move(exeName)) {}
  ~AppDefaultsVersion() { ::RegDeleteKeyW(HKEY_CURRENT_USER, keyPath_.c_str()); }
  AppDefaultsVersion(const AppDefaultsVersion&) = delete;
  AppDefaultsVersion& operator=(const AppDefaultsVersion&) = delete;

  bool Set(const std::wstring& version) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS) {
      return false;
    }
    const LSTATUS status =
        ::RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                         static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
  }

 private:
  std::wstring keyPath_;
};

class OsDescriptionUnderWineVersion : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t self[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    folder_ = std::filesystem::temp_directory_path() /
              ("zq_sysinfo_child_" + std::to_string(::GetCurrentProcessId()));
    std::filesystem::create_directories(folder_);
    exeName_ = L"zq_sysinfo_child_" + std::to_wstring(::GetCurrentProcessId()) + L".exe";
    child_ = folder_ / exeName_;
    std::filesystem::copy_file(self, child_, std::filesystem::copy_options::overwrite_existing);
    version_ = std::make_unique<AppDefaultsVersion>(exeName_);
  }

  void TearDown() override {
    version_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // Runs the copy with Wine set to report the named version; its report.
  Report RunChild(const std::wstring& wineVersion) {
    Report report;
    EXPECT_TRUE(version_->Set(wineVersion));
    const std::filesystem::path reportPath = folder_ / "report.txt";
    std::filesystem::remove(reportPath);
    ::SetEnvironmentVariableW(kReportVariable, reportPath.wstring().c_str());
    std::wstring commandLine = L"\"" + child_.wstring() +
                               L"\" --gtest_filter=OsDescriptionChild.*"
                               L" --gtest_also_run_disabled_tests";
    // The child's own test output goes to a log, shown only when it fails.
    const std::filesystem::path logPath = folder_ / "child.log";
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    ScopedHandle log(::CreateFileW(logPath.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                   &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = log.Get();
    startup.hStdError = log.Get();
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(child_.wstring().c_str(), commandLine.data(), nullptr,
                                          nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    ::SetEnvironmentVariableW(kReportVariable, nullptr);
    if (!started) {
      ADD_FAILURE() << "CreateProcessW failed: " << ::GetLastError();
      return report;
    }
    ScopedHandle processHandle(process.hProcess);
    ScopedHandle threadHandle(process.hThread);
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, 120000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    log.Reset();
    if (exitCode != 0) {
      std::ifstream childLog(logPath, std::ios::binary);
      ADD_FAILURE() << "the child ended with " << exitCode << ":\n" << childLog.rdbuf();
    }

    std::ifstream file(reportPath, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
      const auto equals = line.find('=');
      if (equals != std::string::npos) report[line.substr(0, equals)] = line.substr(equals + 1);
    }
    EXPECT_FALSE(report.empty()) << "the child wrote no report";
    return report;
  }

  std::filesystem::path folder_;
  std::wstring exeName_;
  std::filesystem::path child_;
  std::unique_ptr<AppDefaultsVersion> version_;
};

TEST_F(OsDescriptionUnderWineVersion, NamesEachVersionWineReports) {
  // Wine 8.0's version table holds the records of "win7" and "win2008r2" the
  // wrong way round (the first reports a server, the second a workstation), so
  // the name is checked against the product type the child saw.
  struct Case {
    const wchar_t* wineVersion;
    int major;
    int minor;
    const char* workstationName;
    const char* serverName;
  } cases[] = {
      {L"win7", 6, 1, "Windows 7", "Windows Server 2008 R2"},
      {L"win2008r2", 6, 1, "Windows 7", "Windows Server 2008 R2"},
      {L"win10", 10, 0, "Windows 10", "Windows Server 2016"},
      {L"win81", 6, 3, "Windows 8.1", "Windows Server 2012 R2"},
      {L"win8", 6, 2, "Windows 8", "Windows Server 2012"},
      {L"vista", 6, 0, "Windows Vista", "Windows Server 2008"},
      {L"win2008", 6, 0, "Windows Vista", "Windows Server 2008"},
      // 5.2: Wine's R2 metric is 0; a 64-bit process sees architecture 9.
      {L"winxp64", 5, 2, "Windows XP Professional x64 Edition", "Windows Server 2003, "},
      {L"win2003", 5, 2, "Windows XP Professional x64 Edition", "Windows Server 2003, "},
      {L"winxp", 5, 1, "Windows XP", "Windows XP"},
      {L"win2k", 5, 0, "Windows 2000", "Windows 2000"},
      {L"win98", 4, 10, "Windows 98", "Windows 98"},
      {L"nt40", 4, 0, "获取失败，请检查版本:4.0", "获取失败，请检查版本:4.0"},
  };
  int workstations = 0;
  int servers = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::filesystem::path(c.wineVersion).string());
    Report report = RunChild(c.wineVersion);
    // RtlGetNtVersionNumbers tells the version Wine was set to.
    EXPECT_EQ(report["ntMajor"], std::to_string(c.major));
    EXPECT_EQ(report["ntMinor"], std::to_string(c.minor));
    EXPECT_EQ(report["outMajor"], report["ntMajor"]);
    EXPECT_EQ(report["outMinor"], report["ntMinor"]);
    const bool workstation = report["productType"] == "1";
    (workstation ? workstations : servers) += 1;
    EXPECT_EQ(report["bare"], workstation ? c.workstationName : c.serverName)
        << "product type " << report["productType"];
  }
  EXPECT_GT(workstations, 0);
  EXPECT_GT(servers, 0);
}

TEST_F(OsDescriptionUnderWineVersion, ReadsTheTrueVersionWhereGetVersionExStopsAt62) {
  // Without a compatibility manifest GetVersionExA reports Windows 8 (6.2) on
  // every later version, Wine too; the numbers come from ntdll instead.
  Report report = RunChild(L"win10");
  EXPECT_EQ(report["versionExMajor"] + "." + report["versionExMinor"], "6.2");
  EXPECT_EQ(report["ntMajor"] + "." + report["ntMinor"], "10.0");
  EXPECT_EQ(report["bare"], "Windows 10");
  // Windows 10 has no service-pack text in its record; the registry's value,
  // if it is long enough, takes its place.
  const std::string servicePack = MachineCsdVersion();
  const std::string build = report["ntBuild"];
  const std::string suffix =
      servicePack.size() > 2 ? servicePack + ",Build:" + build : "Build:" + build;
  EXPECT_EQ(report["full"], "Windows 10  x64 (" + suffix + ")");
}

TEST_F(OsDescriptionUnderWineVersion, NamesWindows11WhereWineKnowsIt) {
  Report report = RunChild(L"win11");
  if (report["ntMajor"] != "10" ||
      std::stoi(report["ntBuild"].empty() ? "0" : report["ntBuild"]) < 22000) {
    GTEST_SKIP() << "this Wine has no Windows 11 version (it reported " << report["ntMajor"] << "."
                 << report["ntMinor"] << "." << report["ntBuild"] << ")";
  }
  EXPECT_EQ(report["bare"], "Windows 11");
}

}  // namespace
