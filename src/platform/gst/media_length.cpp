#include "platform/gst/media_length.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <taglib/aifffile.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/mpegheader.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/speexfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

#include "platform/gst/gst_runtime.h"

namespace mixora {
namespace {

bool EndsWithCda(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string tail = path.substr(path.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".cda";
}

// Whether an installed element takes `caps` in: a decoder, or for
// containers of raw samples, their demuxer or parser. Asked once per
// format for the run: the installed plug-ins do not change under us.
bool CanDecode(const std::string& caps) {
    static std::mutex mutex;
    static std::map<std::string, bool> known;
    std::lock_guard lock(mutex);
    if (auto it = known.find(caps); it != known.end()) {
        return it->second;
    }
    GstCaps* wanted = gst_caps_from_string(caps.c_str());
    GList* all = gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DECODER |
                                                           GST_ELEMENT_FACTORY_TYPE_DEMUXER |
                                                           GST_ELEMENT_FACTORY_TYPE_PARSER,
                                                       GST_RANK_MARGINAL);
    GList* able = gst_element_factory_list_filter(all, wanted, GST_PAD_SINK, FALSE);
    const bool yes = able != nullptr;
    gst_plugin_feature_list_free(able);
    gst_plugin_feature_list_free(all);
    gst_caps_unref(wanted);
    known.emplace(caps, yes);
    return yes;
}

// The caps of the coded audio in a file TagLib has read; empty when the
// format is not one whose decoder we know to look for.
std::string CodedCaps(TagLib::File* file) {
    using namespace TagLib;
    if (auto* mpeg = dynamic_cast<MPEG::File*>(file)) {
        const auto* p = mpeg->audioProperties();
        if (!p || p->layer() < 1 || p->layer() > 3) {
            return {};
        }
        return "audio/mpeg, mpegversion=(int)1, layer=(int)" + std::to_string(p->layer());
    }
    if (dynamic_cast<Ogg::Vorbis::File*>(file)) {
        return "audio/x-vorbis";
    }
    if (dynamic_cast<Ogg::Opus::File*>(file)) {
        return "audio/x-opus";
    }
    if (dynamic_cast<Ogg::Speex::File*>(file)) {
        return "audio/x-speex";
    }
    if (dynamic_cast<FLAC::File*>(file) || dynamic_cast<Ogg::FLAC::File*>(file)) {
        return "audio/x-flac";
    }
    if (auto* wav = dynamic_cast<RIFF::WAV::File*>(file)) {
        // Integer and float samples (plain or in the extensible header) need
        // no decoder; other codings are left to GStreamer to judge.
        const auto* p = wav->audioProperties();
        const int format = p ? p->format() : 0;
        return format == 1 || format == 3 || format == 0xFFFE ? "audio/x-wav" : std::string{};
    }
    if (dynamic_cast<RIFF::AIFF::File*>(file)) {
        return "audio/x-aiff";
    }
    if (dynamic_cast<WavPack::File*>(file)) {
        return "audio/x-wavpack";
    }
    if (auto* mp4 = dynamic_cast<MP4::File*>(file)) {
        const auto* p = mp4->audioProperties();
        if (p && p->codec() == MP4::Properties::AAC) {
            return "audio/mpeg, mpegversion=(int)4";
        }
        if (p && p->codec() == MP4::Properties::ALAC) {
            return "audio/x-alac";
        }
    }
    return {};
}

// An MP3 without a table of contents (Xing or VBRI header): the length
// TagLib gives assumes the first frame's bitrate throughout, which is only
// true of constant-bitrate files. Trust it when frames at the start, the
// middle and the end agree; count the frames otherwise.
double MpegSeconds(TagLib::MPEG::File& file, const TagLib::AudioProperties& properties) {
    using TagLib::MPEG::Header;
    const auto* mpeg = dynamic_cast<const TagLib::MPEG::Properties*>(&properties);
    if (mpeg && mpeg->xingHeader()) {
        return properties.lengthInMilliseconds() / 1000.0;
    }
    const long first = file.firstFrameOffset();
    const long last = file.lastFrameOffset();
    if (first < 0 || last < first) {
        return 0.0;
    }
    const Header a(&file, first, false);
    const Header b(&file, file.nextFrameOffset((first + last) / 2), false);
    const Header c(&file, last, false);
    if (a.isValid() && b.isValid() && c.isValid() && a.bitrate() == b.bitrate() &&
        a.bitrate() == c.bitrate()) {
        return properties.lengthInMilliseconds() / 1000.0;
    }
    double seconds = 0.0;
    for (long offset = first; offset >= 0 && offset <= last;) {
        const Header frame(&file, offset, false);
        if (!frame.isValid() || frame.frameLength() <= 0 || frame.sampleRate() <= 0) {
            offset = file.nextFrameOffset(offset + 1);
            continue;
        }
        seconds += static_cast<double>(frame.samplesPerFrame()) / frame.sampleRate();
        offset += frame.frameLength();
    }
    return seconds;
}

double FromHeaders(const std::string& path) {
    TagLib::FileRef ref(path.c_str(), true, TagLib::AudioProperties::Average);
    if (ref.isNull() || !ref.audioProperties()) {
        return 0.0;
    }
    const std::string caps = CodedCaps(ref.file());
    if (caps.empty() || !CanDecode(caps)) {
        return 0.0;
    }
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(ref.file())) {
        return MpegSeconds(*mpeg, *ref.audioProperties());
    }
    return ref.audioProperties()->lengthInMilliseconds() / 1000.0;
}

// GStreamer opens the file and reads as far as it must to know.
double FromDiscoverer(const std::string& path) {
    gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
    if (!uri) {
        return 0.0;
    }
    double seconds = 0.0;
    if (GstDiscoverer* discoverer = gst_discoverer_new(5 * GST_SECOND, nullptr)) {
        if (GstDiscovererInfo* info = gst_discoverer_discover_uri(discoverer, uri, nullptr)) {
            const GstClockTime duration = gst_discoverer_info_get_duration(info);
            GList* audio = gst_discoverer_info_get_audio_streams(info);
            GList* video = gst_discoverer_info_get_video_streams(info);
            if (gst_discoverer_info_get_result(info) == GST_DISCOVERER_OK && (audio || video) &&
                GST_CLOCK_TIME_IS_VALID(duration)) {
                seconds = static_cast<double>(duration) / GST_SECOND;
            }
            gst_discoverer_stream_info_list_free(audio);
            gst_discoverer_stream_info_list_free(video);
            gst_discoverer_info_unref(info);
        }
        g_object_unref(discoverer);
    }
    g_free(uri);
    return seconds;
}

} // namespace

double MeasureMediaLength(const std::string& path) {
    if (path.empty() || EndsWithCda(path) || !EnsureGstreamer()) {
        return 0.0;
    }
    if (const double seconds = FromHeaders(path); seconds > 0.0) {
        return seconds;
    }
    return FromDiscoverer(path);
}

} // namespace mixora
