#pragma once
#include <cstdint>  // FFmpeg headers need its constant macros

#include "engine/ChannelInfo.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace corvane {

// The channel type of a stream, from FFmpeg's demuxer name and the stream's codec.
ChannelType ChannelTypeOf(const char* demuxerName, AVCodecID codec);

}  // namespace corvane
