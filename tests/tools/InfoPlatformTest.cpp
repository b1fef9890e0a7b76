// What the information panel asks of Linux: mountinfo lines with their
// escapes, the names under /dev/disk, serial numbers from UUIDs, and the
// figures of this machine checked against the system's own reports.
#include <gtest/gtest.h>

#include <sys/statvfs.h>

#include <fstream>
#include <string>

#include "tools/InfoPlatform.h"

namespace {

TEST(InfoMountInfo, LinesGiveDeviceMountPointTypeAndSource) {
  TMountInfoLine line;
  ASSERT_TRUE(ParseMountInfoLine(
      "36 35 98:0 /mnt1 /mnt/my\\040disk rw,noatime master:1 shared:7 - ext3 /dev/root rw,errors=continue", &line));
  EXPECT_EQ(line.major, 98u);
  EXPECT_EQ(line.minor, 0u);
  EXPECT_EQ(line.mountPoint, "/mnt/my disk");
  EXPECT_EQ(line.fsType, "ext3");
  EXPECT_EQ(line.source, "/dev/root");
  // No optional fields at all.
  ASSERT_TRUE(ParseMountInfoLine("22 1 0:21 / /proc rw - proc proc rw", &line));
  EXPECT_EQ(line.mountPoint, "/proc");
  EXPECT_EQ(line.fsType, "proc");

  EXPECT_FALSE(ParseMountInfoLine("", &line));
  EXPECT_FALSE(ParseMountInfoLine("22 1 0:21 / /proc rw proc proc rw", &line));  // no separator
  EXPECT_FALSE(ParseMountInfoLine("22 1 zero / /proc rw - proc proc rw", &line));
}

TEST(InfoMountInfo, EscapesDecodeOnlyWhenComplete) {
  EXPECT_EQ(DecodeOctalEscapes("a\\040b\\011c"), "a b\tc");
  EXPECT_EQ(DecodeOctalEscapes("end\\04"), "end\\04");
  EXPECT_EQ(DecodeHexEscapes("My\\x20Disk"), "My Disk");
  EXPECT_EQ(DecodeHexEscapes("odd\\x2"), "odd\\x2");
  EXPECT_EQ(DecodeHexEscapes("\\xzz"), "\\xzz");
}

TEST(InfoSerial, TakesTheFirstEightHexDigitsOfAUuid) {
  uint32_t serial = 0;
  ASSERT_TRUE(SerialFromUuid("ABCD-1234", &serial));
  EXPECT_EQ(serial, 0xABCD1234u);
  ASSERT_TRUE(SerialFromUuid("0f3e2d1c-aaaa-bbbb-cccc-0123456789ab", &serial));
  EXPECT_EQ(serial, 0x0f3e2d1cu);
  EXPECT_FALSE(SerialFromUuid("", &serial));
  EXPECT_FALSE(SerialFromUuid("label-not-hex", &serial));
}

TEST(InfoSystemFigures, MemoryMatchesMeminfo) {
  TMemoryFigures memory;
  ASSERT_EQ(ReadMemoryFigures(&memory), 0);
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  int64_t kib = 0;
  ASSERT_TRUE(meminfo >> key >> kib);
  ASSERT_EQ(key, "MemTotal:");
  // sysinfo counts in its own unit; meminfo rounds to whole KiB.
  EXPECT_LE(std::llabs(memory.total - kib * 1024), 1024);
  EXPECT_GT(memory.free, 0);
  EXPECT_LE(memory.free, memory.total);
}

TEST(InfoSystemFigures, VolumeOfKnownMounts) {
  TVolumeFacts proc;
  ASSERT_EQ(ReadVolumeFacts(L"/proc/self", &proc), 0);
  EXPECT_STREQ(proc.mountPoint.c_str(), L"/proc");
  EXPECT_STREQ(proc.fsType.c_str(), L"proc");
  EXPECT_FALSE(proc.hasSerial);
  TVolumeFacts root;
  ASSERT_EQ(ReadVolumeFacts(L"/", &root), 0);
  EXPECT_STREQ(root.mountPoint.c_str(), L"/");
  EXPECT_FALSE(root.fsType.IsEmpty());
  TVolumeFacts missing;
  EXPECT_NE(ReadVolumeFacts(L"/no/such/directory/here", &missing), 0);
}

}  // namespace
