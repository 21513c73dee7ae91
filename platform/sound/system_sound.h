#pragma once
// SystemSound: one short WAVE sound registered from a file and played without
// waiting for it. Main thread only (it lives in the application's event loop).

#include <memory>
#include <string>

class QSoundEffect;

namespace sound {

class SystemSound {
 public:
  // Nothing for a path that is empty, missing, a directory or not a WAVE file.
  static std::unique_ptr<SystemSound> create(const std::string& path);
  ~SystemSound();
  SystemSound(const SystemSound&) = delete;
  SystemSound& operator=(const SystemSound&) = delete;

  // Starts the sound; silent on a machine without audio output.
  void play();
  const std::string& path() const { return m_path; }

 private:
  explicit SystemSound(std::string path);
  std::string m_path;
  std::unique_ptr<QSoundEffect> m_effect;
};

}  // namespace sound
