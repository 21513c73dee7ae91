#include "platform/sound/system_sound.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

#include "tests/support/event_loop.h"

namespace {

// A tenth of a second of silence, 8 kHz mono 8-bit: the smallest real WAVE file.
QByteArray silentWave() {
  constexpr std::uint32_t kSampleRate = 8000;
  constexpr std::uint32_t kSamples = kSampleRate / 10;
  QByteArray bytes;
  auto add32 = [&bytes](std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes.append(static_cast<char>((value >> shift) & 0xFF));
  };
  auto add16 = [&bytes](std::uint16_t value) {
    bytes.append(static_cast<char>(value & 0xFF));
    bytes.append(static_cast<char>(value >> 8));
  };
  bytes.append("RIFF");
  add32(36 + kSamples);
  bytes.append("WAVEfmt ");
  add32(16);
  add16(1);  // PCM
  add16(1);  // mono
  add32(kSampleRate);
  add32(kSampleRate);
  add16(1);
  add16(8);
  bytes.append("data");
  add32(kSamples);
  bytes.append(QByteArray(kSamples, static_cast<char>(0x80)));
  return bytes;
}

std::string writeFile(const QTemporaryDir& directory, const QString& name, const QByteArray& bytes) {
  QFile file(directory.filePath(name));
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  return file.fileName().toStdString();
}

TEST(SystemSound, OnlyAnExistingWaveFileGivesASound) {
  QTemporaryDir directory;
  EXPECT_EQ(sound::SystemSound::create(""), nullptr);
  EXPECT_EQ(sound::SystemSound::create(directory.filePath("missing.wav").toStdString()), nullptr);
  EXPECT_EQ(sound::SystemSound::create(directory.path().toStdString()), nullptr) << "a directory is no sound";
  EXPECT_EQ(sound::SystemSound::create(writeFile(directory, "text.wav", "RIFF but not a wave")), nullptr);
  EXPECT_EQ(sound::SystemSound::create(writeFile(directory, "short.wav", "RIF")), nullptr);

  const std::string path = writeFile(directory, "silence.wav", silentWave());
  auto sound = sound::SystemSound::create(path);
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->path(), path);
  sound->play();
  rp::test::runEventLoopFor(std::chrono::milliseconds(50));
}

}  // namespace
