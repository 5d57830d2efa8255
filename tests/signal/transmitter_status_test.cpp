#include "signal/transmitter_status.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text_encoding.h"
#include "signal/transmitter.h"

namespace {

std::string Utf8(const char* gbk) { return platform::GbkToUtf8(gbk); }

TEST(TransmitterStatus, ProgressStatusesBecomeLinesThatUpdateInPlace) {
  TransmitterStatusReport r = DescribeTransmitterStatus(kTxCountdown, 13);
  EXPECT_TRUE(r.hasLine);
  EXPECT_EQ(Utf8(r.text), "等待 13 秒开始发波");
  EXPECT_EQ(r.kind, kLogTxCountdown);
  EXPECT_EQ(r.box, nullptr);
  EXPECT_EQ(r.controls, TxControls::kUnchanged);

  r = DescribeTransmitterStatus(kTxTransmitting, 1234);
  EXPECT_EQ(Utf8(r.text), "正在发波 1234");
  EXPECT_EQ(r.kind, kLogTxProgress);
  EXPECT_EQ(r.box, nullptr);

  // Its own kind, so that it replaces no progress line; tenths of a ppm.
  r = DescribeTransmitterStatus(kTxSampleClock, -1512);
  EXPECT_EQ(Utf8(r.text), "声卡采样时钟 -151.2 ppm：音调和秒已校正");
  EXPECT_EQ(r.kind, kLogTxSampleClock);
  EXPECT_EQ(r.box, nullptr);

  // Every stall stays in the log, no box: the transmission goes on.
  r = DescribeTransmitterStatus(kTxStalled, 3);
  EXPECT_EQ(Utf8(r.text), "声音输出停顿，已静音，将从下一个边界重新发波");
  EXPECT_EQ(r.kind, kLogTxStalled);
  EXPECT_EQ(r.box, nullptr);

  r = DescribeTransmitterStatus(kTxStopped, 0);
  EXPECT_EQ(Utf8(r.text), "停止发波");
  EXPECT_EQ(r.kind, kLogTxStopped);
  EXPECT_EQ(r.box, nullptr);
  EXPECT_EQ(r.controls, TxControls::kUnchanged);
}

TEST(TransmitterStatus, DeviceFailuresLogAndAskForABox) {
  TransmitterStatusReport r = DescribeTransmitterStatus(kTxOpenFailed, 32);
  EXPECT_EQ(Utf8(r.text), "打开播放设备失败，无法发波");  // the code is not shown
  EXPECT_EQ(r.kind, kLogTxFailedToStart);
  ASSERT_NE(r.box, nullptr);
  EXPECT_EQ(Utf8(r.box), "打开播放设备失败，无法发波！");
  EXPECT_EQ(r.controls, TxControls::kIdle);

  r = DescribeTransmitterStatus(kTxNoDevice, 0);
  EXPECT_EQ(Utf8(r.text), "没有找到播放设备，无法发波");
  EXPECT_EQ(r.kind, kLogTxFailedToStart);
  ASSERT_NE(r.box, nullptr);
  EXPECT_EQ(Utf8(r.box),
            "没有找到播放设备，无法发波！\r\n\r\n请先关闭本软件，排除播放设备故障后再重新打开软件！");
  EXPECT_EQ(r.controls, TxControls::kNoDevice);

  // A kind no other line has: it replaces none of them.
  r = DescribeTransmitterStatus(kTxDeviceFailed, 0);
  EXPECT_EQ(Utf8(r.text), "声音设备停止播放，发波已中止");
  EXPECT_EQ(r.kind, kLogTxDeviceFailed);
  ASSERT_NE(r.box, nullptr);
  EXPECT_EQ(Utf8(r.box), "声音设备停止播放，发波已中止！");
  EXPECT_EQ(r.controls, TxControls::kIdle);
}

TEST(TransmitterStatus, CapabilitiesAndUnknownStatusesHaveNoLine) {
  for (WPARAM status : {WPARAM{0}, WPARAM{kTxCapabilities}, WPARAM{kTxFrameSent}, WPARAM{11}, WPARAM{1000}}) {
    TransmitterStatusReport r = DescribeTransmitterStatus(status, 0x44000);
    EXPECT_FALSE(r.hasLine) << status;
    EXPECT_EQ(r.box, nullptr);
    EXPECT_EQ(r.controls, TxControls::kUnchanged);
  }
}

}  // namespace
