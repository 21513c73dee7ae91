#include "ui/ov_sound_fx.h"

#include "platform/sound/system_sound.h"

namespace ui {

std::unique_ptr<OVSoundFX> OVSoundFX::soundEffectWithContentsOfFile(const std::string& path) {
  auto sound = sound::SystemSound::create(path);
  if (!sound) return nullptr;
  return std::unique_ptr<OVSoundFX>(new OVSoundFX(std::move(sound)));
}

OVSoundFX::OVSoundFX(std::unique_ptr<sound::SystemSound> sound) : m_sound(std::move(sound)) {}

OVSoundFX::~OVSoundFX() = default;

void OVSoundFX::play() { m_sound->play(); }

}  // namespace ui
