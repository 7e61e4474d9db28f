// The PASS and FAIL sounds are different, well-formed WAV files of a fraction of a second.
#include <QTest>

#include "qt/kit/result_sound.h"

namespace quillet {

class ResultSoundTest : public QObject {
  Q_OBJECT

 private slots:
  void passAndFailSoundDifferent() {
    const std::vector<uint8_t> pass = ResultSoundWave(Sound::Default);
    const std::vector<uint8_t> fail = ResultSoundWave(Sound::Error);
    QVERIFY(pass != fail);
    for (const auto& wave : {pass, fail}) {
      QCOMPARE(std::string(wave.begin(), wave.begin() + 4), std::string("RIFF"));
      const uint32_t riff = wave[4] | wave[5] << 8 | wave[6] << 16 | uint32_t(wave[7]) << 24;
      QCOMPARE(std::size_t(riff) + 8, wave.size());
      const double seconds = (wave.size() - 44) / 2.0 / 22050;
      QVERIFY(seconds > 0.1 && seconds < 0.5);
    }
  }
};

}  // namespace quillet

QTEST_GUILESS_MAIN(quillet::ResultSoundTest)
#include "result_sound_test.moc"
