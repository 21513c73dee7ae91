#pragma once
// OVSoundFX: one overlay sound, registered from a file and played on demand.
// Main thread only.

#include <memory>
#include <string>

namespace sound {
class SystemSound;
}

namespace ui {

class OVSoundFX {
 public:
  // Nothing for an empty path or a file that cannot be registered.
  static std::unique_ptr<OVSoundFX> soundEffectWithContentsOfFile(const std::string& path);
  ~OVSoundFX();

  void play();

 private:
  explicit OVSoundFX(std::unique_ptr<sound::SystemSound> sound);
  std::unique_ptr<sound::SystemSound> m_sound;
};

}  // namespace ui
