// Stands in for the platform's sound player in the native tests.
#ifndef QEL_TESTS_NATIVE_PLAY_CLIP_RECORDER_H
#define QEL_TESTS_NATIVE_PLAY_CLIP_RECORDER_H

#include <string>
#include <vector>

extern std::vector<std::string> played_clips;

#endif
