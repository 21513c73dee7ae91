#include "platform/sound/system_sound.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>

#ifdef RP_HAVE_QT_MULTIMEDIA
#include <QSoundEffect>
#include <QUrl>
#else
// Without Qt Multimedia the sound is registered and silently not played.
class QSoundEffect {};
#endif

namespace sound {

namespace {

constexpr std::size_t kWaveHeaderLength = 12;
constexpr std::size_t kFormatOffset = 8;

// A RIFF container whose form type is WAVE: what the player can register.
bool isWaveFile(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream file(path, std::ios::binary);
  std::array<char, kWaveHeaderLength> header{};
  if (!file.read(header.data(), header.size())) return false;
  return std::memcmp(header.data(), "RIFF", 4) == 0 && std::memcmp(header.data() + kFormatOffset, "WAVE", 4) == 0;
}

}  // namespace

std::unique_ptr<SystemSound> SystemSound::create(const std::string& path) {
  if (path.empty() || !isWaveFile(path)) return nullptr;
  return std::unique_ptr<SystemSound>(new SystemSound(path));
}

SystemSound::SystemSound(std::string path) : m_path(std::move(path)), m_effect(std::make_unique<QSoundEffect>()) {
#ifdef RP_HAVE_QT_MULTIMEDIA
  m_effect->setSource(QUrl::fromLocalFile(QString::fromStdString(m_path)));
#endif
}

SystemSound::~SystemSound() = default;

void SystemSound::play() {
#ifdef RP_HAVE_QT_MULTIMEDIA
  m_effect->play();
#endif
}

}  // namespace sound
