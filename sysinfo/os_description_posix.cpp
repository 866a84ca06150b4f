// DescribeOperatingSystem in the native build, which has no Windows version to
// query: it answers as the Windows side does when the version query fails,
// with the empty text and the out arguments left alone.
#include "sysinfo/os_description.h"

Text DescribeOperatingSystem(int* /*majorVersion*/, int* /*minorVersion*/, bool /*withEdition*/,
                             bool /*withArchitecture*/, bool /*withServicePack*/,
                             bool /*withBuild*/) {
  return Text();
}
