#include "platform/gst/effect_element.h"

#include <gst/audio/audio.h>
#include <gst/audio/gstaudiofilter.h>
#include <gst/gst.h>

#include <mutex>
#include <new>
#include <span>

#include "dsp/effect_chain.h"
#include "platform/effect_driver/effect_hub.h"

namespace {

using mixora::EffectChain;
using mixora::EffectHub;

struct MixoraEffects {
    GstAudioFilter parent;
    EffectChain chain; // built in place in init, destroyed in finalize
    EffectHub* hub;    // not owned; set before the element starts
    int rate;          // negotiated, 0 before
    int reported;      // latency frames last announced to the pipeline
};

enum { kPropHub = 1 };

struct MixoraEffectsClass {
    GstAudioFilterClass parent_class;
};

GType mixora_effects_get_type();

G_DEFINE_TYPE(MixoraEffects, mixora_effects, GST_TYPE_AUDIO_FILTER)

MixoraEffects* Self(gpointer object) {
    return G_TYPE_CHECK_INSTANCE_CAST(object, mixora_effects_get_type(), MixoraEffects);
}

constexpr const char* kCaps = "audio/x-raw, format=(string)F32LE, layout=(string)interleaved, "
                              "channels=(int)[1,2], rate=(int)[1,2147483647]";

gboolean Setup(GstAudioFilter* filter, const GstAudioInfo* info) {
    MixoraEffects* self = Self(filter);
    self->chain.Start(GST_AUDIO_INFO_CHANNELS(info), GST_AUDIO_INFO_RATE(info));
    g_atomic_int_set(&self->rate, GST_AUDIO_INFO_RATE(info));
    return TRUE;
}

// Key shift delays the sound by a fixed time while it is on; the pipeline
// learns of it here, so a sink can keep the sound in step with the picture.
gboolean Query(GstBaseTransform* trans, GstPadDirection direction, GstQuery* query) {
    MixoraEffects* self = Self(trans);
    if (direction != GST_PAD_SRC || GST_QUERY_TYPE(query) != GST_QUERY_LATENCY) {
        return GST_BASE_TRANSFORM_CLASS(mixora_effects_parent_class)
            ->query(trans, direction, query);
    }
    if (!gst_pad_peer_query(GST_BASE_TRANSFORM_SINK_PAD(trans), query)) {
        return FALSE;
    }
    gboolean live = FALSE;
    GstClockTime min = 0, max = GST_CLOCK_TIME_NONE;
    gst_query_parse_latency(query, &live, &min, &max);
    const int frames = self->chain.LatencyFrames();
    // Negotiated on the streaming thread; asked here from the application's.
    const int rate = g_atomic_int_get(&self->rate);
    const GstClockTime ours = rate > 0 ? gst_util_uint64_scale_int(frames, GST_SECOND, rate) : 0;
    gst_query_set_latency(query, live, min + ours, GST_CLOCK_TIME_IS_VALID(max) ? max + ours : max);
    return TRUE;
}

GstFlowReturn TransformInPlace(GstBaseTransform* trans, GstBuffer* buffer) {
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READWRITE)) {
        return GST_FLOW_ERROR;
    }
    MixoraEffects* self = Self(trans);
    self->chain.Process(
        std::span<float>(reinterpret_cast<float*>(map.data), map.size / sizeof(float)));
    gst_buffer_unmap(buffer, &map);
    const int latency = self->chain.LatencyFrames();
    if (latency != self->reported) {
        // Ask the pipeline to query the latency again.
        self->reported = latency;
        gst_element_post_message(GST_ELEMENT(trans), gst_message_new_latency(GST_OBJECT(trans)));
    }
    return GST_FLOW_OK;
}

gboolean Start(GstBaseTransform* trans) {
    MixoraEffects* self = Self(trans);
    if (self->hub) {
        self->hub->Attach(self->chain);
    }
    return TRUE;
}

gboolean Stop(GstBaseTransform* trans) {
    MixoraEffects* self = Self(trans);
    if (self->hub) {
        self->hub->Detach(self->chain);
    }
    return TRUE;
}

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* spec) {
    if (id != kPropHub) {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec);
        return;
    }
    MixoraEffects* self = Self(object);
    auto* hub = static_cast<EffectHub*>(g_value_get_pointer(value));
    if (self->hub == hub) {
        return;
    }
    // Only a stopped element changes hubs: a running chain stays with the
    // hub it attached to until it stops.
    GST_OBJECT_LOCK(self);
    self->hub = hub;
    GST_OBJECT_UNLOCK(self);
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* spec) {
    if (id != kPropHub) {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec);
        return;
    }
    g_value_set_pointer(value, Self(object)->hub);
}

gboolean SinkEvent(GstBaseTransform* trans, GstEvent* event) {
    if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) {
        // After a seek the old tails (reverb, key shift) must not ring on.
        Self(trans)->chain.Flush();
    }
    return GST_BASE_TRANSFORM_CLASS(mixora_effects_parent_class)->sink_event(trans, event);
}

void Finalize(GObject* object) {
    MixoraEffects* self = Self(object);
    if (self->hub) {
        self->hub->Detach(self->chain);
    }
    self->chain.~EffectChain();
    G_OBJECT_CLASS(mixora_effects_parent_class)->finalize(object);
}

void mixora_effects_class_init(MixoraEffectsClass* klass) {
    GObjectClass* object = G_OBJECT_CLASS(klass);
    object->finalize = Finalize;
    object->set_property = SetProperty;
    object->get_property = GetProperty;
    g_object_class_install_property(
        object, kPropHub,
        g_param_spec_pointer(mixora::kEffectHubProperty, "Effect hub",
                             "The program's effect state this element follows",
                             static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS |
                                                      GST_PARAM_MUTABLE_READY)));
    auto* element = GST_ELEMENT_CLASS(klass);
    gst_element_class_set_static_metadata(element, "Mixora effects", "Filter/Effect/Audio",
                                          "Equalizer, voice cancellation, key shift and reverb",
                                          "Mixora");
    auto* transform = GST_BASE_TRANSFORM_CLASS(klass);
    transform->transform_ip = TransformInPlace;
    transform->start = Start;
    transform->stop = Stop;
    transform->sink_event = SinkEvent;
    transform->query = Query;
    auto* filter = GST_AUDIO_FILTER_CLASS(klass);
    filter->setup = Setup;
    GstCaps* caps = gst_caps_from_string(kCaps);
    gst_audio_filter_class_add_pad_templates(filter, caps);
    gst_caps_unref(caps);
}

void mixora_effects_init(MixoraEffects* self) {
    new (&self->chain) EffectChain();
    self->hub = nullptr;
    self->rate = 0;
    self->reported = 0;
    gst_base_transform_set_in_place(GST_BASE_TRANSFORM(self), TRUE);
}

gboolean PluginInit(GstPlugin* plugin) {
    return gst_element_register(plugin, "mixoraeffects", GST_RANK_NONE, mixora_effects_get_type());
}

} // namespace

namespace mixora {

bool RegisterEffectElement() {
    static std::once_flag once;
    static bool registered = false;
    std::call_once(once, [] {
        if (!gst_is_initialized() && !gst_init_check(nullptr, nullptr, nullptr)) {
            return;
        }
        registered = gst_plugin_register_static(GST_VERSION_MAJOR, GST_VERSION_MINOR, "mixora",
                                                "Mixora's software effect driver", PluginInit,
                                                "0.1", "unknown", "mixora", "Mixora", "mixora");
    });
    return registered;
}

} // namespace mixora
