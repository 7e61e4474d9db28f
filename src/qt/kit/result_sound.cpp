#include "qt/kit/result_sound.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <cmath>
#include <numbers>

namespace quillet {
namespace {

constexpr int kRate = 22050;

struct Tone {
  double hertz;
  double seconds;
};

// PASS: two rising notes. FAIL: two low notes with a gap.
std::vector<Tone> TonesOf(Sound sound) {
  if (sound == Sound::Error) return {{220, 0.12}, {0, 0.05}, {220, 0.12}};
  return {{880, 0.08}, {1320, 0.12}};
}

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A player that can be started without a window of its own, and a device to play on.
QString SoundPlayer() {
  const bool device = QDir("/dev/snd").exists() || !qEnvironmentVariableIsEmpty("PULSE_SERVER") ||
                      QFile::exists(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/pulse/native");
  if (!device) return {};
  for (const char* player : {"paplay", "aplay"}) {
    const QString path = QStandardPaths::findExecutable(player);
    if (!path.isEmpty()) return path;
  }
  return {};
}

}  // namespace

std::vector<uint8_t> ResultSoundWave(Sound sound) {
  std::vector<int16_t> samples;
  for (const Tone& tone : TonesOf(sound)) {
    const int count = static_cast<int>(tone.seconds * kRate);
    for (int i = 0; i < count; ++i) {
      const double fade = std::min(1.0, std::min(i, count - i) / (0.01 * kRate));  // no clicks
      const double value = tone.hertz == 0 ? 0 : std::sin(2 * std::numbers::pi * tone.hertz * i / kRate);
      samples.push_back(static_cast<int16_t>(value * fade * 12000));
    }
  }
  const uint32_t data_size = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> wave{'R', 'I', 'F', 'F'};
  PutLe(wave, 36 + data_size, 4);
  for (char c : std::string("WAVEfmt ")) wave.push_back(static_cast<uint8_t>(c));
  PutLe(wave, 16, 4);
  PutLe(wave, 1, 2);  // PCM
  PutLe(wave, 1, 2);  // mono
  PutLe(wave, kRate, 4);
  PutLe(wave, kRate * 2, 4);
  PutLe(wave, 2, 2);
  PutLe(wave, 16, 2);
  for (char c : std::string("data")) wave.push_back(static_cast<uint8_t>(c));
  PutLe(wave, data_size, 4);
  for (int16_t sample : samples) PutLe(wave, static_cast<uint16_t>(sample), 2);
  return wave;
}

void PlayResultSound(Sound sound) {
  static const QString player = SoundPlayer();
  if (player.isEmpty()) {
    QApplication::beep();
    return;
  }
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  const QString path = folder + (sound == Sound::Error ? "/quillet-fail.wav" : "/quillet-pass.wav");
  if (!QFile::exists(path)) {
    const std::vector<uint8_t> wave = ResultSoundWave(sound);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(wave.data()), static_cast<qint64>(wave.size())) !=
            static_cast<qint64>(wave.size())) {
      file.remove();
      QApplication::beep();
      return;
    }
  }
  if (!QProcess::startDetached(player, {path})) QApplication::beep();
}

}  // namespace quillet
