#include "audio_io.hpp"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {
// Little-endian writer into a buffer sized up front.
struct ByteWriter {
    std::vector<uint8_t>& out;
    size_t at = 0;
    void bytes(const char* text) {
        for (; *text; ++text) out[at++] = uint8_t(*text);
    }
    void le(uint32_t v, int count) {
        for (int i = 0; i < count; ++i) out[at++] = uint8_t((v >> (8 * i)) & 0xFF);
    }
};
int16_t toPcm(float v) {
    return int16_t(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
}
}  // namespace

std::vector<uint8_t> encodeWav16(const Stereo& sound) {
    const uint32_t dataBytes = uint32_t(sound.frames() * 4);
    std::vector<uint8_t> out(44 + size_t(dataBytes));
    ByteWriter w{out};
    w.bytes("RIFF");
    w.le(36 + dataBytes, 4);
    w.bytes("WAVEfmt ");
    w.le(16, 4);
    w.le(1, 2);  // PCM
    w.le(2, 2);  // channels
    w.le(kSampleRate, 4);
    w.le(kSampleRate * 4, 4);
    w.le(4, 2);
    w.le(16, 2);
    w.bytes("data");
    w.le(dataBytes, 4);
    for (size_t i = 0; i < sound.frames(); ++i) {
        w.le(uint16_t(toPcm(sound.left[i])), 2);
        w.le(uint16_t(toPcm(sound.right[i])), 2);
    }
    return out;
}

std::vector<uint8_t> encodeMp3(const Stereo& sound) {
    lame_t gf = lame_init();
    lame_set_in_samplerate(gf, kSampleRate);
    lame_set_out_samplerate(gf, kSampleRate);
    lame_set_num_channels(gf, 2);
    lame_set_mode(gf, JOINT_STEREO);
    lame_set_brate(gf, 128);
    lame_set_quality(gf, 5);
    lame_set_bWriteVbrTag(gf, 1);
    lame_set_write_id3tag_automatic(gf, 0);
    std::vector<uint8_t> out;
    if (lame_init_params(gf) < 0) {
        lame_close(gf);
        return out;
    }
    constexpr size_t kChunk = 8192;
    std::vector<unsigned char> buf(kChunk * 5 / 4 + 7200);
    for (size_t at = 0; at < sound.frames(); at += kChunk) {
        int n = int(std::min(kChunk, sound.frames() - at));
        int bytes = lame_encode_buffer_ieee_float(gf, sound.left.data() + at, sound.right.data() + at,
                                                  n, buf.data(), int(buf.size()));
        if (bytes > 0) out.insert(out.end(), buf.begin(), buf.begin() + bytes);
    }
    int bytes = lame_encode_flush(gf, buf.data(), int(buf.size()));
    if (bytes > 0) out.insert(out.end(), buf.begin(), buf.begin() + bytes);
    // The first frame was kept free for the info tag; fill it in now.
    unsigned char tag[2880];
    size_t tagBytes = lame_get_lametag_frame(gf, tag, sizeof tag);
    if (tagBytes > 0 && tagBytes <= out.size()) std::copy(tag, tag + tagBytes, out.begin());
    lame_close(gf);
    return out;
}

}  // namespace assetgen
