#include "platform/linux/desktop_alarm_sound.h"

#include "platform/linux/tone_samples.h"

#include <QApplication>
#include <alsa/asoundlib.h>
#include <memory>

namespace platform {

namespace {

constexpr unsigned kRate = 48000;
// Generous for a 50 ms tone; only bounds the device's buffering.
constexpr unsigned kLatencyUs = 100000;

void ignore_alsa_error(const char*, int, const char*, int, const char*, ...) {}

struct PcmCloser {
  void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};

}  // namespace

DesktopAlarmSound::DesktopAlarmSound() { snd_lib_error_set_handler(ignore_alsa_error); }

void DesktopAlarmSound::alert() { QApplication::beep(); }

void DesktopAlarmSound::tone(int frequency_hz, int duration_ms) {
  const std::vector<int16_t> samples = tone_samples(frequency_hz, duration_ms, kRate);
  if (samples.empty()) return;

  // Opened non-blocking so that a busy or missing device fails at once
  // instead of stalling the cycle; playing then blocks, for the tone only.
  snd_pcm_t* raw = nullptr;
  if (snd_pcm_open(&raw, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return;
  const std::unique_ptr<snd_pcm_t, PcmCloser> pcm(raw);
  if (snd_pcm_nonblock(pcm.get(), 0) < 0) return;
  if (snd_pcm_set_params(pcm.get(), SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1, kRate, 1, kLatencyUs) < 0) {
    return;
  }

  const int16_t* next = samples.data();
  snd_pcm_uframes_t left = samples.size();
  while (left > 0) {
    snd_pcm_sframes_t written = snd_pcm_writei(pcm.get(), next, left);
    if (written < 0) written = snd_pcm_recover(pcm.get(), static_cast<int>(written), 1);
    if (written < 0) return;
    next += written;
    left -= static_cast<snd_pcm_uframes_t>(written);
  }
  snd_pcm_drain(pcm.get());
}

}  // namespace platform
