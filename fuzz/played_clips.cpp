#include "played_clips.h"

#include "announcer/announcer.h"

std::vector<std::string> played_clips;

void play_clip(const char *clip_path)
{
    played_clips.push_back(clip_path);
}
