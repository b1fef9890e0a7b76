// What the information panel asks of Linux: disk names with their escapes,
// serial numbers from UUIDs, and the mounts of known directories.
#include <gtest/gtest.h>

#include <string>

#include "tools/InfoPlatform.h"

namespace {

TEST(InfoDiskNames, HexEscapesDecodeOnlyWhenComplete) {
  EXPECT_EQ(DecodeHexEscapes("My\\x20Disk\\x2"), "My Disk\\x2");
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
