#include "avi_writer.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

TestPicture SolidPicture(int width, int height, uint16_t colour) {
    return TestPicture(size_t(width) * size_t(height), colour);
}

namespace {

bool WritePackets(AVCodecContext* encoder, AVFormatContext* output, AVStream* stream, AVPacket* packet) {
    for (;;) {
        int r = avcodec_receive_packet(encoder, packet);
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
        if (r < 0) return false;
        av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
        packet->stream_index = stream->index;
        if (av_interleaved_write_frame(output, packet) < 0) return false;
    }
}

}  // namespace

bool WriteTestAvi(const std::string& path, int width, int height, const std::vector<TestPicture>& pictures,
                  const char* codec, int keyInterval, const std::vector<int64_t>& times, int streamCount,
                  int64_t frameCount) {
    const AVCodec* encoderCodec = avcodec_find_encoder_by_name(codec);
    if (!encoderCodec) return false;
    AVFormatContext* output = nullptr;
    if (avformat_alloc_output_context2(&output, nullptr, "avi", path.c_str()) < 0) return false;
    AVCodecContext* encoder = avcodec_alloc_context3(encoderCodec);
    AVStream* stream = avformat_new_stream(output, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    AVFrame* picture555 = av_frame_alloc();
    SwsContext* converter = nullptr;
    bool ok = encoder && stream && packet && frame && picture555;
    if (ok) {
        encoder->width = width;
        encoder->height = height;
        encoder->pix_fmt = AV_PIX_FMT_RGB555LE;
        if (encoderCodec->id == AV_CODEC_ID_MJPEG) {  // YUV only; at its finest, to compare colours closely
            encoder->pix_fmt = AV_PIX_FMT_YUVJ444P;
            encoder->flags |= AV_CODEC_FLAG_QSCALE;
            encoder->global_quality = FF_QP2LAMBDA;
        }
        encoder->time_base = AVRational{1, 15};
        encoder->framerate = AVRational{15, 1};
        encoder->gop_size = keyInterval;
        ok = avcodec_open2(encoder, encoderCodec, nullptr) >= 0 &&
             avcodec_parameters_from_context(stream->codecpar, encoder) >= 0;
    }
    // Further streams are declared like the first and stay empty.
    for (int i = 1; ok && i < streamCount; i++) {
        AVStream* extra = avformat_new_stream(output, nullptr);
        ok = extra && avcodec_parameters_copy(extra->codecpar, stream->codecpar) >= 0;
        if (ok) extra->time_base = encoder->time_base;
    }
    if (ok) {
        stream->time_base = encoder->time_base;
        // Room for a small index only: the files stay a few hundred bytes.
        AVDictionary* options = nullptr;
        av_dict_set(&options, "reserve_index_space", "64", 0);
        ok = avio_open(&output->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 && avformat_write_header(output, &options) >= 0;
        av_dict_free(&options);
    }
    const bool convert = ok && encoder->pix_fmt != AV_PIX_FMT_RGB555LE;
    if (convert) {
        converter = sws_getContext(width, height, AV_PIX_FMT_RGB555LE, width, height, encoder->pix_fmt, SWS_POINT,
                                   nullptr, nullptr, nullptr);
        ok = converter != nullptr;
    }
    for (size_t i = 0; ok && i < pictures.size(); i++) {
        AVFrame* target = convert ? picture555 : frame;
        frame->format = encoder->pix_fmt;
        frame->width = width;
        frame->height = height;
        picture555->format = AV_PIX_FMT_RGB555LE;
        picture555->width = width;
        picture555->height = height;
        ok = av_frame_get_buffer(frame, 0) >= 0 && (!convert || av_frame_get_buffer(picture555, 0) >= 0);
        if (!ok) break;
        for (int y = 0; y < height; y++) {
            uint8_t* row = target->data[0] + ptrdiff_t(y) * target->linesize[0];
            for (int x = 0; x < width; x++) {
                const uint16_t p = pictures[i][size_t(y) * size_t(width) + size_t(x)];
                row[2 * x] = uint8_t(p);
                row[2 * x + 1] = uint8_t(p >> 8);
            }
        }
        if (convert)
            ok = sws_scale(converter, picture555->data, picture555->linesize, 0, height, frame->data, frame->linesize) ==
                 height;
        av_frame_unref(picture555);
        if (!ok) break;
        frame->pts = i < times.size() ? times[i] : int64_t(i);
        ok = avcodec_send_frame(encoder, frame) >= 0 && WritePackets(encoder, output, stream, packet);
        av_frame_unref(frame);
    }
    if (ok) ok = avcodec_send_frame(encoder, nullptr) >= 0 && WritePackets(encoder, output, stream, packet);
    if (ok && frameCount > 0) {
        // An empty packet for the last frame: the muxer fills the frames before it
        // with empty chunks too.
        av_packet_unref(packet);
        packet->pts = packet->dts = frameCount - 1;
        av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
        packet->stream_index = stream->index;
        ok = av_interleaved_write_frame(output, packet) >= 0;
    }
    if (ok) ok = av_write_trailer(output) >= 0;
    if (output->pb) avio_closep(&output->pb);
    sws_freeContext(converter);
    av_frame_free(&picture555);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&encoder);
    avformat_free_context(output);
    return ok;
}

size_t FindBytes(const std::string& bytes, const std::string& what, size_t from) { return bytes.find(what, from); }

void PutLe32(std::string& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4 && offset + size_t(i) < bytes.size(); i++) bytes[offset + size_t(i)] = char(value >> (8 * i));
}
