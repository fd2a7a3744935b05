// Stands in for the platform's sound player in every fuzz target: the
// rules' object files all come with the announcer, which calls it.
#ifndef QEL_FUZZ_PLAYED_CLIPS_H
#define QEL_FUZZ_PLAYED_CLIPS_H

#include <string>
#include <vector>

extern std::vector<std::string> played_clips;

#endif
