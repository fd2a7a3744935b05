// The sound device of the audio suite: ALSA's `file` PCM, set up in the
// suite's own HOME, writes each stream that Wine's sound player opens to a
// file of its own, as raw samples, in the folder QEL_AUDIO_DEVICE names.
#ifndef QEL_TESTS_WINE_AUDIO_DEVICE_H
#define QEL_TESTS_WINE_AUDIO_DEVICE_H

#include "plugin_harness.h"

// A clip's samples, 16-bit mono at 22050 Hz: `sound_count` of them, never
// 0 and different for every seed, so that a lost, repeated or moved byte
// shows; then 100 ms of silence, which the driver may lengthen or shorten.
std::string test_samples(unsigned seed, size_t sound_count);

// A PCM WAV file holding `samples` (16-bit mono, 22050 Hz).
std::string wav_file(const std::string &samples);

// Forgets every stream the device has received so far.
void clear_device();

// The streams with samples the device has received, oldest first.
std::vector<std::string> device_streams();

// Fails the current test when a clip still plays after several seconds.
void wait_for_player();

// Empty when the device's stream is the clip's samples, apart from the
// silence at either end; otherwise the sizes and the first byte that
// differs. Wine's ALSA driver, short of time, ends a stream with one or two
// periods of silence more (seen: 220 and 440 frames) or, once, 240 frames
// fewer; it was never seen to add silence in front.
std::string sound_difference(const std::string &clip, const std::string &stream);

// The built plug-in, copied into `folder` and loaded as it is, so that its
// requests go straight to the sound player; unload it with unload_plugin.
loaded_plugin load_live_plugin(const std::string &folder);

#endif
